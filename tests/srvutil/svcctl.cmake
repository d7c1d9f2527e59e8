# The service layer against the real service control manager and the
# simulated server service (SERIAL: it starts and stops "QORA Server").
qora_test(srvutil_svcctl_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/svcctl_test.cpp
  LIBS srvutil_svcctl qora_testsupport SYSLIBS advapi32 DEPENDS kvtserv TIMEOUT 300)
