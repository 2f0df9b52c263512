# Source lists come from the folders, so adding a file never means editing a list.
function(nb_glob_sources out_var)
  set(sources)
  foreach(folder IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
