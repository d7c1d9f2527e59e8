# The common foundation: trace and log files need no installation; the
# registry, settings and message tests lay out the demo installation and so
# run one at a time.
qora_test(cmdbase_trace_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/trace_test.cpp
  LIBS qora_cmdbase qora_testsupport)
qora_test(cmdbase_registry_test SERIAL
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/registry_test.cpp ${CMAKE_CURRENT_LIST_DIR}/settings_test.cpp
  LIBS qora_cmdbase siminst_core qora_testsupport DEPENDS siminst)
qora_test(cmdbase_msglib_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/msglib_test.cpp
  LIBS qora_cmdbase siminst_core qora_testsupport DEPENDS siminst)
qora_test(cmdbase_ansi_test ANSI SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/ansi_test.cpp
  LIBS qora_cmdbase_a siminst_core qora_testsupport DEPENDS siminst)
