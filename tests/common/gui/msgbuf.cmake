qora_test(msgbuf_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/msgbuf_test.cpp
  LIBS qora_msgbuf qora_testsupport
  SYSLIBS user32
  TIMEOUT 120)
