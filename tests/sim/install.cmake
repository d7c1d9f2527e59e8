# The stand-in installation tool: its layout language in-process, and the
# program itself laying out the product as the demo does.
qora_test(siminst_test SERIAL SOURCES ${CMAKE_CURRENT_LIST_DIR}/install_test.cpp
  LIBS siminst_core qora_testsupport DEPENDS siminst)
