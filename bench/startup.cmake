# Start-up benchmark (srvutil against notepad) and the screenshot tool the
# demo uses; both start programs and wait for their main window.
qora_library(bench_startup_launch SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_launch.cpp SYSLIBS user32)
qora_executable(bench_startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup.cpp LIBS bench_startup_launch)
qora_executable(startup_shot SOURCES ${CMAKE_CURRENT_LIST_DIR}/startup_shot.cpp LIBS bench_startup_launch
  SYSLIBS gdi32 user32)
if(TARGET bench_startup)
  add_dependencies(bench_startup srvutil siminst)
  add_dependencies(startup_shot srvutil siminst)
endif()
