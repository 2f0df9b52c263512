# The Windows binary blurmond.aex: the host finds the effect in its "PiPL" resource 16000, so the property
# list is compiled into the binary instead of lying beside it.

# The writer must run on the build machine. A native build of this same tree provides it, and is brought
# up to date before every use, so the resource always holds the bytes of the code being built. Running
# the cross-built writer under wine would tie every build of the plug-in to a working wine and a wine
# prefix; the tests need wine, the binary should not.
set(NB_NATIVE_BUILD_DIR "" CACHE PATH "A native build of this tree, whose property-list writer makes the resource")
if(NOT NB_NATIVE_BUILD_DIR)
  message(FATAL_ERROR "a Windows build needs -DNB_NATIVE_BUILD_DIR=<a configured native build of this tree>")
endif()
set(nb_pipl_writer ${NB_NATIVE_BUILD_DIR}/plugin/blurmond_pipl_writer)
set(nb_pipl ${CMAKE_CURRENT_BINARY_DIR}/resource/blurmond.pipl)
add_custom_target(nb_native_pipl_writer
  COMMAND ${CMAKE_COMMAND} --build ${NB_NATIVE_BUILD_DIR} --target blurmond_pipl_writer
  BYPRODUCTS ${nb_pipl_writer}
  COMMENT "Building the property-list writer natively"
  VERBATIM)
add_custom_command(OUTPUT ${nb_pipl}
  COMMAND ${nb_pipl_writer} ${nb_pipl}
  DEPENDS nb_native_pipl_writer ${nb_pipl_writer}
  COMMENT "Writing the property list of blurmond.aex"
  VERBATIM)

set(nb_resource_script ${CMAKE_CURRENT_BINARY_DIR}/resource/blurmond.rc)
file(CONFIGURE OUTPUT ${nb_resource_script} CONTENT "16000 PiPL \"${nb_pipl}\"\n")
set_source_files_properties(${nb_resource_script} PROPERTIES OBJECT_DEPENDS ${nb_pipl})

add_library(blurmond SHARED $<TARGET_OBJECTS:nb_plugin> ${nb_resource_script})
target_link_libraries(blurmond PRIVATE nb_effect)
set_target_properties(blurmond PROPERTIES PREFIX "" SUFFIX ".aex" OUTPUT_NAME blurmond
                                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
# The definition file keeps the export table to the entry point alone, whatever the linked libraries mark.
target_link_options(blurmond PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/blurmond.def "LINKER:--no-undefined")
set_target_properties(blurmond PROPERTIES LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/blurmond.def)
