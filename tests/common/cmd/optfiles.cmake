# Client options and setup file texts in both character sets.
qora_test(optfiles_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_test.cpp LIBS qora_optfiles)
qora_test(optfiles_a_test PURE ANSI SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_test.cpp LIBS qora_optfiles_a)
# The file edge under Wine.
qora_test(optfiles_io_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_io_test.cpp
  LIBS qora_optfiles_io qora_testsupport)
