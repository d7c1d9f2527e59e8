qora_test(parsers_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parsers_test.cpp
  LIBS qora_parsers)
qora_test(parsers_corpus_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parscorpus_test.cpp
  LIBS qora_parsers)
# Labels from the demo installation's message library.
qora_test(parselabels_test SERIAL
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parslabl_test.cpp
  LIBS qora_parselabels siminst_core qora_testsupport DEPENDS siminst qora_languages)
# The simulated server's replies parse back into the objects it holds.
qora_test(parsers_roundtrip_test PURE
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parsroundtrip_test.cpp
  LIBS qora_parsers sim_pilotcore)
