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

# Function libraries that only list variables, for the trigger dialog's variable box: three that
# list 50 each and one whose enumerator refuses to initialise, in a folder of their own.
set(WOX_TEST_VARIABLES_DIR ${CMAKE_BINARY_DIR}/tests/variables)
set(WOX_TEST_VARIABLE_LIBRARIES "")
foreach(spec "Alpha;50;0" "Beta;50;0" "Gamma;50;0" "Refusing;5;1")
  list(GET spec 0 prefix)
  list(GET spec 1 count)
  list(GET spec 2 refuse)
  add_library(WoxVariables${prefix} MODULE ${CMAKE_CURRENT_LIST_DIR}/TestVariableLibrary.cpp)
  target_link_libraries(WoxVariables${prefix} PRIVATE wox_contracts)
  target_link_options(WoxVariables${prefix} PRIVATE -Wl,--no-undefined)
  target_compile_definitions(WoxVariables${prefix} PRIVATE WOX_TEST_VARIABLE_PREFIX="${prefix}" WOX_TEST_VARIABLE_COUNT=${count}
    WOX_TEST_REFUSE=${refuse} WOX_TEST_VARIABLE_LIBRARY="${WOX_TEST_VARIABLES_DIR}/libWoxVariables${prefix}.so")
  set_target_properties(WoxVariables${prefix} PROPERTIES PREFIX "lib" LIBRARY_OUTPUT_DIRECTORY ${WOX_TEST_VARIABLES_DIR})
  list(APPEND WOX_TEST_VARIABLE_LIBRARIES WoxVariables${prefix})
endforeach()
set(WOX_TEST_VARIABLE_LIBRARIES ${WOX_TEST_VARIABLE_LIBRARIES} PARENT_SCOPE)
