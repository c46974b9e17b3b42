# wox_plugin_module(NAME CORE <static lib> DIR <output folder> SOURCES <export sources> [EXPORTS names])
# A plug-in is a static library with its logic plus a thin shared module that adds only the
# extern "C" exports. Everything but the exports stays hidden, static libraries included.
function(wox_plugin_module name)
  cmake_parse_arguments(ARG "" "CORE;DIR;OUTPUT_NAME" "SOURCES;LIBS;EXPORTS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_CORE} ${ARG_LIBS})
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL -Wl,--no-undefined)
  set_target_properties(${name} PROPERTIES
    PREFIX "lib"
    LIBRARY_OUTPUT_DIRECTORY ${ARG_DIR})
  # With EXPORTS, a version script keeps every other dynamic symbol local.
  if(ARG_EXPORTS)
    list(JOIN ARG_EXPORTS "; " _global)
    set(_script ${CMAKE_CURRENT_BINARY_DIR}/${name}.exports)
    file(WRITE ${_script} "{ global: ${_global}; local: *; };\n")
    target_link_options(${name} PRIVATE -Wl,--version-script=${_script})
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${_script})
  endif()
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
endfunction()

include(GoogleTest)

# wox_test(NAME LABEL <label> SOURCES ... LIBS ...): one GoogleTest program, each case a CTest
# test with the area's label, a timeout, the offscreen Qt platform and the test registry.
function(wox_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
               ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  # The test registry's path is compiled into the test fixtures (tests/support).
endfunction()
