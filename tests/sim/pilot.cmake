# The simulated command processor: its server model read back through the
# real parsers (pure, so also native with sanitizers).
qora_test(sim_pilotcore_test PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/pilotcore_test.cpp
  LIBS sim_pilotcore qora_parsers)

# The stand-in programs started as the utilities start them (SERIAL: starts
# and stops "QORA Server").
qora_test(sim_standins_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/cmdpilot_test.cpp
  LIBS qora_testsupport SYSLIBS advapi32 user32 DEPENDS cmdpilot kvtserv recorder TIMEOUT 300)
