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
