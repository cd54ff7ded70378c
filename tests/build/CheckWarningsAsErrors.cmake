# Configures the tree twice in scratch folders and checks the compile commands: with
# ORVEX_WARNINGS_AS_ERRORS off (what scripts/run uses) no command has -Werror, with it on
# (scripts/test, CI) every project command does. Run with -DSOURCE_DIR=... -DWORK_DIR=...
foreach(setting OFF ON)
  set(dir "${WORK_DIR}/werror-${setting}")
  file(REMOVE_RECURSE "${dir}")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${dir}" -G Ninja -DORVEX_BUILD_TESTS=OFF
            -DORVEX_WARNINGS_AS_ERRORS=${setting}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring with ORVEX_WARNINGS_AS_ERRORS=${setting} failed:\n${errors}")
  endif()
  file(READ "${dir}/compile_commands.json" commands)
  string(REGEX MATCHALL "\"command\": \"[^\"]*\"" lines "${commands}")
  list(LENGTH lines total)
  set(withWerror 0)
  foreach(line IN LISTS lines)
    if(line MATCHES " -Werror( |\")")
      math(EXPR withWerror "${withWerror} + 1")
    endif()
  endforeach()
  if(setting STREQUAL "OFF" AND NOT withWerror EQUAL 0)
    message(FATAL_ERROR "ORVEX_WARNINGS_AS_ERRORS=OFF still compiles ${withWerror} of ${total} files with -Werror")
  endif()
  if(setting STREQUAL "ON" AND (total EQUAL 0 OR NOT withWerror EQUAL total))
    message(FATAL_ERROR "ORVEX_WARNINGS_AS_ERRORS=ON compiles only ${withWerror} of ${total} files with -Werror")
  endif()
  file(REMOVE_RECURSE "${dir}")
endforeach()
