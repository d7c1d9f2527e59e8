# Client options and setup files: the text (pure, both character sets) and
# the file edge with the one-step replace that every options save goes through.
qora_library(qora_optfiles PURE TCHAR
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles.cpp)
qora_library(qora_optfiles_io TCHAR
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_io.cpp
  LIBS qora_optfiles qora_cmdbase
  SYSLIBS kernel32)
