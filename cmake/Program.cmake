# add_program(NAME SOURCES ... LIBRARIES ... RESOURCES file.rc)
# One of the two programs: its own sources, the system libraries it is made
# of, and its resource script.
function(add_program name)
  cmake_parse_arguments(P "" "RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  if(WIN32)
    add_executable(${name} WIN32 ${P_SOURCES} ${P_RESOURCES})
    target_link_libraries(${name} PRIVATE ${P_LIBRARIES} winapi)
    # The resource compiler looks for included and named files in the
    # include folders: the script's own and the shared resources.
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
  else()
    add_executable(${name} ${P_SOURCES})
    # main() comes first so that the program's WinMain is pulled from its library.
    target_link_libraries(${name} PRIVATE platform_main ${P_LIBRARIES})
    if(P_RESOURCES)
      add_resource_table(${name} ${P_RESOURCES})
    endif()
  endif()
endfunction()

# add_resource_table(TARGET script.rc)
# Compiles the resources that a script names into TARGET (our platform only):
# the script becomes a generated table that registers itself at start-up.
function(add_resource_table target script)
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(stem ${script} NAME_WE)
  set(table ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}_resources.cpp)
  add_custom_command(
    OUTPUT ${table}
    COMMAND resgen -I ${PROJECT_SOURCE_DIR}/resources -I ${PROJECT_SOURCE_DIR}/platform/include
            --depfile ${table}.d -o ${table} ${script}
    DEPENDS ${script} resgen
    DEPFILE ${table}.d
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${table})
  set_source_files_properties(${table} PROPERTIES INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/platform)
  target_link_libraries(${target} PRIVATE platform)
endfunction()
