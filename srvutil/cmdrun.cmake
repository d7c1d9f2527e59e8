# Macro runs through the command processor, the synchronous capture, the
# format run's launcher and the output viewer.
srvutil_module(srvutil_cmdrun SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/cmdrun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/outview.cpp
  LIBS srvutil_svcctl srvutil_objslots qora_cmdbase
  SYSLIBS comctl32 user32 gdi32 advapi32)
