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
# A libFuzzer target for the native build when clang is at hand (not built by
# default): ninja parsers_fuzz && bin/parsers_fuzz -max_total_time=60
if(QORA_NATIVE)
  find_program(QORA_CLANGXX clang++)
  if(QORA_CLANGXX)
    set(_fuzz_sources ${CMAKE_CURRENT_LIST_DIR}/parsfuzz.cpp)
    foreach(m lineparse parsblk parscg parsnode parsched parsdom parsqstg parsqdev parsqdrv parsqlib parsqdb parsqlog)
      list(APPEND _fuzz_sources ${QORA_ROOT}/common/cmd/${m}.cpp)
    endforeach()
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/parsers_fuzz
      COMMAND ${QORA_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
              -I${QORA_ROOT} ${_fuzz_sources} -o ${CMAKE_BINARY_DIR}/bin/parsers_fuzz
      DEPENDS ${_fuzz_sources} VERBATIM)
    add_custom_target(parsers_fuzz DEPENDS ${CMAKE_BINARY_DIR}/bin/parsers_fuzz)
  endif()
endif()
