# The language files as built: loadable data DLLs with the expected texts.
qora_test(languages_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/languages_test.cpp
  LIBS qora_testsupport DEPENDS qora_languages)
