# The console launcher: runs a command and turns a signalled event into a
# Ctrl+Break for it.
qora_executable(breakrun ANSI
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/breakrun.cpp
  SYSLIBS ntdll)
