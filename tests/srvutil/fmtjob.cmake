# The format job of the volume wizards.
qora_test(fmtjob_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fmtjob_test.cpp
  LIBS srvutil_fmtjob qora_testsupport SYSLIBS user32)
