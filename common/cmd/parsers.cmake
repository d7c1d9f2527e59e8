# Parsers of the server's detailed query replies: pure text transformations,
# also built natively with sanitizers.
qora_library(qora_parsers PURE
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/lineparse.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsblk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parscg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsnode.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsched.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsdom.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqstg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqdev.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqdrv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqlib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqdb.cpp
    ${CMAKE_CURRENT_LIST_DIR}/parsqlog.cpp)

# The translated parsers with their labels from the message library.
qora_library(qora_parselabels
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/parslabl.cpp
  LIBS qora_parsers qora_cmdbase)
