# Object slot table: a small module of its own so the main window can link it
# without the run engine.
srvutil_module(srvutil_objslots SOURCES ${CMAKE_CURRENT_LIST_DIR}/objslots.cpp SYSLIBS kernel32)
