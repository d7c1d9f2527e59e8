# The server options model, reader and writer (pure), the setup file reader
# (pure, both character sets) and their file and network edges.
qora_library(qora_ofeparse PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ofeparse.cpp ${CMAKE_CURRENT_LIST_DIR}/ntofeuti.cpp
  LIBS qora_optfiles)
qora_library(qora_cfgparse PURE TCHAR
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cfgparse.cpp
  LIBS qora_optfiles)
qora_library(qora_ofe
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ofefile.cpp
  LIBS qora_ofeparse qora_optfiles_io
  SYSLIBS wsock32 ws2_32)
qora_library(qora_cfgfile TCHAR
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cfgfile.cpp
  LIBS qora_cfgparse qora_optfiles_io)
