# A console child that reports a Ctrl+Break, and the launcher's tests.
qora_executable(breakrun_child SOURCES ${CMAKE_CURRENT_LIST_DIR}/breakchild.cpp)

qora_test(breakrun_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/breakrun_test.cpp
  LIBS qora_testsupport
  DEPENDS breakrun breakrun_child
  TIMEOUT 180)
