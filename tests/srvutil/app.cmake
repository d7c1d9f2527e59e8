# srvutil's start-up and main window: the pieces in-process, and the real
# program on the demo installation.
qora_test(app_unit_test SERIAL
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_unit_test.cpp
  LIBS srvutil_app qora_testsupport
  SYSLIBS comctl32 user32 gdi32
  DEPENDS qora_languages)
qora_test(app_program_test SERIAL
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/app_program_test.cpp
  LIBS siminst_core qora_testsupport
  SYSLIBS advapi32 user32
  DEPENDS srvutil siminst qora_languages
  TIMEOUT 900)
