# Volume formatting: 1 GB and 4 GB volumes against dd writing as many zeros.
# Run: bench/volfmt_bench.sh [SIZE_MB...]
qora_executable(volfmt_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/volfmt_bench.cpp
  LIBS qora_qorafmt)
