# The server options model, reader and writer: pure, so natively too.
qora_test(ofeparse_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ofeparse_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ntofeuti_test.cpp
  LIBS qora_ofeparse)
# The setup file reader as kvtcfg builds it.
qora_test(cfgparse_test PURE ANSI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cfgparse_test.cpp
  LIBS qora_cfgparse_a)
# The file and network edges, under Wine.
qora_test(ofefile_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ofefile_test.cpp
  LIBS qora_ofe qora_testsupport)
# A disk of a few MB of its own, where a save runs out of space for real.
if(TARGET ofefile_test)
  set(_ofe_small_disk ${CMAKE_BINARY_DIR}/drives/ofe-small)
  set(_small_disk_script ${QORA_ROOT}/tests/common/cmd/qorafmt_smalldisk.sh)
  add_test(NAME ofefile_small_disk_mount COMMAND ${_small_disk_script} mount ${_ofe_small_disk})
  add_test(NAME ofefile_small_disk_umount COMMAND ${_small_disk_script} umount ${_ofe_small_disk})
  set_tests_properties(ofefile_small_disk_mount PROPERTIES FIXTURES_SETUP ofefile_small_disk)
  set_tests_properties(ofefile_small_disk_umount PROPERTIES FIXTURES_CLEANUP ofefile_small_disk)
  set_tests_properties(ofefile_test PROPERTIES FIXTURES_REQUIRED ofefile_small_disk
    ENVIRONMENT QORA_SMALL_DISK=${_ofe_small_disk})
endif()
