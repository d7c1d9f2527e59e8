# Volume formatting, drive utilities and the element number table.
qora_test(qorafmt_size_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/qorafmt_size_test.cpp
  LIBS qora_fmtsize)
qora_test(element_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/element_test.cpp
  LIBS qora_element)
qora_test(qorafmt_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/qorafmt_test.cpp
  LIBS qora_qorafmt qora_testsupport)
if(TARGET qorafmt_test)
  set(_small_disk ${CMAKE_BINARY_DIR}/drives/qorafmt-small)
  add_test(NAME qorafmt_small_disk_mount
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/qorafmt_smalldisk.sh mount ${_small_disk})
  add_test(NAME qorafmt_small_disk_umount
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/qorafmt_smalldisk.sh umount ${_small_disk})
  set_tests_properties(qorafmt_small_disk_mount PROPERTIES FIXTURES_SETUP qorafmt_small_disk)
  set_tests_properties(qorafmt_small_disk_umount PROPERTIES FIXTURES_CLEANUP qorafmt_small_disk)
  set_tests_properties(qorafmt_test PROPERTIES FIXTURES_REQUIRED qorafmt_small_disk
    ENVIRONMENT QORA_SMALL_DISK=${_small_disk})
endif()
