# add_program(NAME SOURCES ... LIBRARIES ... RESOURCES file.rc)
# One of the two programs: its own sources, the system libraries it is made
# of, and its resource script.
function(add_program name)
  cmake_parse_arguments(P "" "RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  if(WIN32)
    add_executable(${name} WIN32 ${P_SOURCES} ${P_RESOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBRARIES} winapi)
  else()
    add_executable(${name} ${P_SOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBRARIES} platform_main)
  endif()
endfunction()
