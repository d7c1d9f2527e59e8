qora_test(framework_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/framework_test.cpp ${CMAKE_CURRENT_LIST_DIR}/fwtest.rc
  LIBS qora_framework qora_testsupport
  SYSLIBS comctl32 user32 gdi32)
