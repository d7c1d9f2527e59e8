# Removes installed layout fragments that no longer exist in the tree.
file(GLOB installed ${DST}/*.txt)
foreach(f IN LISTS installed)
  get_filename_component(n ${f} NAME)
  if(NOT EXISTS ${SRC}/${n})
    file(REMOVE ${f})
  endif()
endforeach()
