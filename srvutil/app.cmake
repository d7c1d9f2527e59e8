# srvutil's application, main window, views, preferences and the process and
# window helpers.
set(_app ${CMAKE_CURRENT_LIST_DIR})
srvutil_module(srvutil_app SOURCES
  ${_app}/app.cpp ${_app}/appcmdl.cpp ${_app}/appprocs.cpp ${_app}/appsplash.cpp
  ${_app}/frame.cpp ${_app}/frameabout.cpp ${_app}/framepref.cpp ${_app}/framesdi.cpp
  ${_app}/viewtab.cpp ${_app}/viewtree.cpp
  LIBS qora_framework qora_cmdbase srvutil_objslots
  SYSLIBS ole32 comctl32 user32 gdi32 advapi32)
list(APPEND SRVUTIL_RESOURCES ${_app}/app.rc)
