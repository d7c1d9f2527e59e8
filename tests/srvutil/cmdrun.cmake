# Macro runs end to end through CMD /c, the simulated command processor and
# the simulated server service (SERIAL: it points the product key's
# utilities path at its own directory and starts and stops "QORA Server").
qora_test(srvutil_cmdrun_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdrun/cmdrun_test.cpp
  LIBS srvutil_cmdrun qora_parsers qora_testsupport SYSLIBS comctl32 user32 advapi32
  DEPENDS cmdpilot kvtserv msgengu TIMEOUT 600)
