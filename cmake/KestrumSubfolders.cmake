# kestrum_add_subfolders(): adds every sub-folder of the current folder that brings its
# own CMakeLists.txt, in name order, so a new area needs no edit of its parent.
macro(kestrum_add_subfolders)
  file(GLOB _kestrum_areas LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _kestrum_areas)
  foreach(_kestrum_area ${_kestrum_areas})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_kestrum_area}/CMakeLists.txt)
      add_subdirectory(${_kestrum_area})
    endif()
  endforeach()
endmacro()
