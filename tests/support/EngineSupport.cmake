# Engine test support: test doubles of the simulation side of the host, and the function library
# that trigger conditions load from the test function directory named by the test registry.
add_library(wox_engine_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/TestPortData.cpp)
target_include_directories(wox_engine_test_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(wox_engine_test_support PUBLIC wox_contracts)

add_library(WoxTestFunctions MODULE ${CMAKE_CURRENT_LIST_DIR}/TestFunctionLibrary.cpp)
target_link_libraries(WoxTestFunctions PRIVATE wox_contracts)
target_link_options(WoxTestFunctions PRIVATE -Wl,--no-undefined)
set_target_properties(WoxTestFunctions PROPERTIES
  PREFIX "lib"
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/functions)
