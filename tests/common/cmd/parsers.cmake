qora_test(parsers_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parsers_test.cpp
  LIBS qora_parsers)
