# add_program(NAME SOURCES ... LIBRARIES ... RESOURCES file.rc)
# One of the two programs: its own sources, the system libraries it is made
# of, and its resource script.
function(add_program name)
  cmake_parse_arguments(P "" "RESOURCES" "SOURCES;LIBRARIES" ${ARGN})
  if(WIN32)
    add_executable(${name} WIN32 ${P_SOURCES} ${P_RESOURCES})
    # The runtime's main(), which calls WinMain, comes first so that the
    # program's WinMain is pulled from its library (mingw-w64's runtime is
    # otherwise searched only after the program's libraries).
    if(MINGW)
      target_link_libraries(${name} PRIVATE mingw32)
    endif()
    target_link_libraries(${name} PRIVATE ${P_LIBRARIES} winapi)
    # The resource compiler looks for included and named files in the
    # include folders: the script's own and the shared resources.
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
    # It reports no dependencies, so the files it may read are named here.
    file(GLOB inputs CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/*.rc ${CMAKE_CURRENT_SOURCE_DIR}/*.bmp ${CMAKE_CURRENT_SOURCE_DIR}/*.ico
      ${PROJECT_SOURCE_DIR}/resources/*)
    set_property(SOURCE ${P_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS ${inputs})
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
# Compiles a resource script with the same resource compiler as the Windows
# build into a .res file, and carries its bytes in TARGET (our platform only).
function(add_resource_table target script)
  find_program(WINDRES NAMES x86_64-w64-mingw32-windres REQUIRED)
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(dir ${script} DIRECTORY)
  get_filename_component(stem ${script} NAME_WE)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}.res)
  set(table ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem}_resources.cpp)
  file(GLOB inputs CONFIGURE_DEPENDS ${dir}/*.rc ${dir}/*.bmp ${dir}/*.ico ${PROJECT_SOURCE_DIR}/resources/*)
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${WINDRES} -I ${dir} -I ${PROJECT_SOURCE_DIR}/resources -O res -o ${res} ${script}
    DEPENDS ${inputs}
    COMMENT "Compiling the resources of ${target}"
    VERBATIM)
  # A bitmap that the program's own reader refuses stops the build here,
  # rather than the program when it starts. (A cross build has no check that
  # runs on the build machine; the native build of the same tree checks.)
  set(check)
  set(checker)
  if(TARGET check_bitmaps)
    set(check COMMAND check_bitmaps ${res} ${script})
    set(checker check_bitmaps)
  endif()
  add_custom_command(
    OUTPUT ${table}
    ${check}
    COMMAND ${CMAKE_COMMAND} -DRES=${res} -DOUT=${table} -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
    DEPENDS ${res} ${checker} ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${table})
  set_source_files_properties(${table} PROPERTIES INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/platform)
endfunction()
