# kvtlabel: 40 cartridges on 8 simulated drives against the same on one drive.
# Run: scripts/wine-run label_bench [write-latency-ms]
qora_executable(label_bench ANSI SOURCES ${CMAKE_CURRENT_LIST_DIR}/label_bench.cpp
  LIBS qora_testsupport SYSLIBS advapi32)
if(TARGET label_bench)
  add_dependencies(label_bench kvtlabel qorasim kvtlabel_messages)
endif()
