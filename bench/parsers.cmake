# Parsing cost of small and very large query replies.
if(QORA_NATIVE)
  add_executable(parsers_bench ${CMAKE_CURRENT_LIST_DIR}/parsbench.cpp)
  target_link_libraries(parsers_bench PRIVATE qora_parsers)
else()
  qora_executable(parsers_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/parsbench.cpp LIBS qora_parsers)
endif()
