# Debian's OpenImageIO brings some 260 libraries into every process that links it. The dynamic loader
# resolves each symbol reference by searching the loaded libraries in load order, and a few of these
# libraries refer to their own symbols tens of thousands of times (LD_DEBUG=bindings counts 57000 for
# OpenVDB alone), every search walking past all the libraries loaded before theirs. Loading those first
# takes a quarter off the command's start-up (0.20 s to 0.15 s). Only libraries that `library` loads
# anyway are named, so nothing more is loaded; without ldd, or elsewhere, the link stays as it was.
function(nb_load_first target library)
  find_program(NB_LDD ldd)
  if(NOT NB_LDD OR NOT EXISTS "${library}")
    return()
  endif()
  execute_process(COMMAND ${NB_LDD} ${library} OUTPUT_VARIABLE loaded RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    return()
  endif()
  set(first)
  foreach(name openvdb xerces-c gdal geos)
    if(loaded MATCHES "=> (/[^ \n]*/lib${name}[-.][^ /\n]*) \\(")
      list(APPEND first ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(first)
    target_link_libraries(${target} PRIVATE -Wl,--push-state,--no-as-needed ${first} -Wl,--pop-state)
  endif()
endfunction()
