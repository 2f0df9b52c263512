# The plug-in's code is one static library per layer, and each layer links only the layers beneath it,
# so code that reaches upwards does not link:
#
#   nb_diagnostics   exceptions, assertions and the log (the files of base/ listed below)
#   nb_util          util/                           <- nb_diagnostics
#   nb_kernel        kernel/                         <- nb_util
#   nb_base          base/, base/after_effects/      <- nb_util
#   nb_effect        effect/                         <- nb_kernel, nb_base
#
# The framework in nb_base does not know the effect: it declares in base/plugin_registry.h what it needs,
# and nb_plugin (plugin/, on nb_effect) defines it for the binary, the property-list writer and the tests.
# cmake/nb_check_layers.cmake, run as the test "layering", holds includes to the same directions.

# Failures and the log belong to the framework but sit beneath util, so that every layer may assert.
set(NB_DIAGNOSTICS_FILES base/exception base/log base/error_names base/memory_size_text base/system_dependencies base/plugin_description)

function(nb_diagnostics_sources out_var)
  set(sources)
  foreach(file IN LISTS NB_DIAGNOSTICS_FILES)
    if(EXISTS ${CMAKE_SOURCE_DIR}/${file}.cpp)
      list(APPEND sources ${CMAKE_SOURCE_DIR}/${file}.cpp)
    endif()
  endforeach()
  set(${out_var} ${sources} PARENT_SCOPE)
endfunction()

# name SOURCES <files> DEPENDS <layers beneath and other libraries>
function(nb_add_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;DEPENDS")
  add_library(${name} STATIC ${layer_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${layer_DEPENDS} PRIVATE nb_warnings)
  # The same objects make the plug-in binary, which exports its entry point alone.
  target_compile_options(${name} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
endfunction()

# A layer taken whole, with only the layers it links, must leave no symbol undefined. A reference upwards
# fails here even where the binary would pull the missing code in from a layer above. The framework is
# not checked this way: it leaves the effect's registration to the binary by design.
function(nb_add_layer_link_check layer)
  set(empty ${CMAKE_BINARY_DIR}/nb_layer_link_check.cpp)
  if(NOT EXISTS ${empty})
    file(WRITE ${empty} "// Nothing of its own: the link check consists of the layer it links.\n")
  endif()
  add_library(${layer}_link_check SHARED ${empty})
  target_link_libraries(${layer}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${layer}>")
  target_link_options(${layer}_link_check PRIVATE "LINKER:--no-undefined")
endfunction()
