# Service control layer over the service control manager (uses only the
# framework's header-only handle template).
srvutil_module(srvutil_svcctl SOURCES ${CMAKE_CURRENT_LIST_DIR}/svcctl.cpp
  LIBS qora_cmdbase SYSLIBS advapi32)
