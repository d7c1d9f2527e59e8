# Volume files at their full size and the drive utilities. The size rules
# are data only and also build natively.
qora_library(qora_fmtsize PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/fmtsize.cpp)
qora_library(qora_qorafmt
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/qorafmt.cpp
  LIBS qora_fmtsize qora_cmdbase
  SYSLIBS kernel32 user32)
