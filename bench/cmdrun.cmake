# Macro run engine: processor end to completion message for 1 MB and 10 MB.
# Run: scripts/wine-run cmdrun_bench [repeats]  (starts "QORA Server" if needed)
qora_executable(cmdrun_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdrun_bench.cpp
  LIBS srvutil_cmdrun qora_testsupport SYSLIBS advapi32 user32)
if(TARGET cmdrun_bench)
  add_dependencies(cmdrun_bench cmdpilot kvtserv)
endif()
