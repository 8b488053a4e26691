# cmake -DROOT=platform -P layers.cmake
# Fails when a layer includes a header of a layer it must not depend on: the
# calls (api/) nothing of the others; the displays (headless/, sdl/, web/) of the
# calls only host.h; the runtime of the calls only host.h. Includes between
# layers are relative, so this check, not the include path, is what stops them.
cmake_minimum_required(VERSION 3.25)
set(allowed_api "host.h")
function(check_layer layer forbidden)
  file(GLOB sources ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"\\.\\./")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "\\.\\./([a-z_]+)/([a-z_.]+)" target "${line}")
      set(other ${CMAKE_MATCH_1})
      set(header ${CMAKE_MATCH_2})
      if(other IN_LIST forbidden OR (other STREQUAL "api" AND NOT header IN_LIST allowed_api))
        message(FATAL_ERROR "${source}: ${layer}/ must not include ${other}/${header}")
      endif()
    endforeach()
  endforeach()
endfunction()
check_layer(api "runtime;headless;sdl;testing")
check_layer(headless "runtime;sdl;testing")
check_layer(sdl "runtime;testing")
check_layer(web "runtime;headless;sdl;testing")
check_layer(runtime "testing")
