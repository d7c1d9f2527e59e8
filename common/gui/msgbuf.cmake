# The message ring buffer between a producer and a consumer thread.
qora_library(qora_msgbuf
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ifcmsgbf.cpp
  LIBS qora_cmdbase
  SYSLIBS user32)
