# The format job: watcher and format threads around the volume formatter.
srvutil_module(srvutil_fmtjob
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/fmtjob.cpp
  LIBS qora_qorafmt qora_cmdbase
  SYSLIBS kernel32 user32)
