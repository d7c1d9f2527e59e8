# The common foundation: formatting, trace and log files, registry access and
# installation layout, settings, language libraries and messages.
qora_library(qora_cmdbase TCHAR
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/textfmt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/logfile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ifcregis.cpp
    ${CMAKE_CURRENT_LIST_DIR}/utilsettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/msglib.cpp
  SYSLIBS advapi32 user32 shlwapi)
