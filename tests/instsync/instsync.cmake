# The pure rules natively and under Wine; the program itself as a user runs it.
qora_test(instsync_logic_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/logic_test.cpp
  LIBS qora_instsync_logic)

qora_test(instsync_test SERIAL
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/instsync_test.cpp
  LIBS qora_testsupport
  SYSLIBS advapi32 user32
  DEPENDS instsync
  TIMEOUT 300)
