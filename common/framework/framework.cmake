# Our window framework: application, frames, views, dialogs, property sheets,
# controls, help; the base of every page and wizard.
set(_fw ${CMAKE_CURRENT_LIST_DIR})
qora_library(qora_framework SOURCES
  ${_fw}/app.cpp ${_fw}/bars.cpp ${_fw}/controls.cpp ${_fw}/dialog.cpp ${_fw}/formview.cpp
  ${_fw}/frame.cpp ${_fw}/help.cpp ${_fw}/msgloop.cpp ${_fw}/propsheet.cpp ${_fw}/resmod.cpp
  ${_fw}/splitter.cpp ${_fw}/wnd.cpp
  SYSLIBS comctl32 user32 gdi32 advapi32)
