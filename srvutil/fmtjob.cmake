# The format job: the volume formatter on the run engine's format launcher.
srvutil_module(srvutil_fmtjob
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fmtjob.cpp
  LIBS srvutil_cmdrun srvutil_objslots qora_qorafmt qora_cmdbase
  SYSLIBS kernel32 user32)
