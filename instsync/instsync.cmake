# The file update utility: the pure rules (command line, levels, the copy
# command) in a library of their own, so they also build natively; its ANSI
# form goes into the program.
qora_library(qora_instsync_logic PURE TCHAR
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/instargs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instlevel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/copycmd.cpp)

qora_executable(instsync WIN32 ANSI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/instsync.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instdlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instupd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/instsync.rc
  LIBS qora_instsync_logic_a qora_cmdbase_a
  SYSLIBS advapi32 user32)
