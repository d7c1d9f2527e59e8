# Client options and setup file texts in both character sets.
qora_test(optfiles_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_test.cpp LIBS qora_optfiles)
qora_test(optfiles_a_test PURE ANSI SOURCES ${CMAKE_CURRENT_LIST_DIR}/optfiles_test.cpp LIBS qora_optfiles_a)
