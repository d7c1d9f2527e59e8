# The library stand-ins as kvtlabel uses them: libtevra.dll loaded by name,
# libacs.dll through its import library.
qora_test(sim_libtevra_test ANSI SOURCES ${CMAKE_CURRENT_LIST_DIR}/libtevra_test.cpp
  LIBS qora_testsupport qorasim_desc DEPENDS libtevra qorasim TIMEOUT 120)
qora_test(sim_libacs_test ANSI SOURCES ${CMAKE_CURRENT_LIST_DIR}/libacs_test.cpp
  LIBS qora_testsupport qorasim_desc libacs TIMEOUT 120)
