# Attached devices: the device list and report reader (data only, also built
# natively) and the enumeration of the SCSI device map.
srvutil_module(srvutil_devlist PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/devlist.cpp)
srvutil_module(srvutil_devenum
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/devenum.cpp
  LIBS srvutil_devlist qora_qorafmt qora_ansifile qora_cmdbase
  SYSLIBS advapi32 kernel32 user32)
