# The simulated command processor: its server model read back through the
# real parsers (pure, so also native with sanitizers).
qora_test(sim_pilotcore_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/pilotcore_test.cpp
  LIBS sim_pilotcore qora_parsers)
