# Attached devices: the device report reader and the SCSI device map.
qora_test(devenum_report_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/devenum_report_test.cpp
  LIBS srvutil_devlist)
qora_test(devenum_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/devenum_test.cpp
  LIBS srvutil_devenum qora_elemload qora_testsupport SYSLIBS advapi32
  DEPENDS simdev)
