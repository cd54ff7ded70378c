# orvex_add_test(NAME <target> SOURCES <files...> LIBS <libs...> [SERIAL] [TIMEOUT <seconds>])
# One GoogleTest executable per component; every test case is registered with CTest.
# The shared main (tests/support/TestMain.cpp) makes every test program headless.
add_library(orvex_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
target_link_libraries(orvex_test_main PUBLIC GTest::gtest GTest::gmock)

function(orvex_add_test)
  cmake_parse_arguments(ARG "SERIAL" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} orvex_test_main)
  target_include_directories(${ARG_NAME} PRIVATE ${PROJECT_SOURCE_DIR})
  include(GoogleTest)
  # SERIAL: tests that watch the program run in real time get the machine to themselves.
  set(serial FALSE)
  if(ARG_SERIAL)
    set(serial TRUE)
  endif()
  # TIMEOUT: seconds per test (120 unless given), for whole-program runs through many scenes.
  set(timeout 120)
  if(ARG_TIMEOUT)
    set(timeout ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${timeout} RUN_SERIAL ${serial})
endfunction()
