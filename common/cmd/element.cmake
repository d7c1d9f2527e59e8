# The element number table: parsing and lookup are data only and also build
# natively; loading element.dat and the file error box need the system.
qora_library(qora_element PURE SOURCES ${CMAKE_CURRENT_LIST_DIR}/element.cpp)
qora_library(qora_ansifile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ansifile.cpp
  LIBS qora_cmdbase
  SYSLIBS kernel32 user32)
qora_library(qora_elemload
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/elemload.cpp
  LIBS qora_element qora_ansifile qora_cmdbase
  SYSLIBS kernel32)
# Our element.dat goes beside the programs, where the stand-in installation
# copies it into the utilities directory.
if(NOT QORA_NATIVE)
  configure_file(${QORA_ROOT}/resources/data/element.dat ${CMAKE_BINARY_DIR}/bin/element.dat COPYONLY)
endif()
