# Compiles Lua sources to precompiled chunks (".lcd") with the luac that matches the Lua library.
#
#   orvex_compile_lua_chunks(TARGET <name> SOURCES <a.lua>... OUTPUT_DIR <dir> [BASE_DIR <dir>])
#
# Each source becomes <OUTPUT_DIR>/<path relative to BASE_DIR without ".lua">.lcd (BASE_DIR
# defaults to the calling folder), so a tree of scripts keeps its layout. <name> is a custom
# target that builds them all; its property ORVEX_LUA_CHUNKS lists the chunk files.
find_program(ORVEX_LUAC_EXECUTABLE NAMES luac5.1 REQUIRED)

function(orvex_compile_lua_chunks)
  cmake_parse_arguments(ARG "" "TARGET;OUTPUT_DIR;BASE_DIR" "SOURCES" ${ARGN})
  if(NOT ARG_TARGET OR NOT ARG_OUTPUT_DIR OR NOT ARG_SOURCES)
    message(FATAL_ERROR "orvex_compile_lua_chunks needs TARGET, SOURCES and OUTPUT_DIR")
  endif()
  if(NOT ARG_BASE_DIR)
    set(ARG_BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  get_filename_component(base "${ARG_BASE_DIR}" ABSOLUTE)
  set(outputs)
  foreach(source IN LISTS ARG_SOURCES)
    get_filename_component(input "${source}" ABSOLUTE)
    file(RELATIVE_PATH relative "${base}" "${input}")
    if(relative MATCHES "^\\.\\./")
      message(FATAL_ERROR "orvex_compile_lua_chunks: ${source} is outside ${base}")
    endif()
    string(REGEX REPLACE "\\.lua$" "" stem "${relative}")
    set(output "${ARG_OUTPUT_DIR}/${stem}.lcd")
    get_filename_component(outputDir "${output}" DIRECTORY)
    add_custom_command(
      OUTPUT "${output}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${outputDir}"
      COMMAND ${ORVEX_LUAC_EXECUTABLE} -o "${output}" "${input}"
      DEPENDS "${input}"
      COMMENT "Compiling Lua chunk ${relative}"
      VERBATIM)
    list(APPEND outputs "${output}")
  endforeach()
  add_custom_target(${ARG_TARGET} DEPENDS ${outputs})
  set_property(TARGET ${ARG_TARGET} PROPERTY ORVEX_LUA_CHUNKS ${outputs})
endfunction()
