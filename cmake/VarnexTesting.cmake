# varnex_add_gtest(NAME <name> SOURCES <files...> LIBS <targets...> [GUI] [FILTER <gtest filter>])
# GUI tests get a QApplication (tests/support/gui_test_main.cpp) and run offscreen.
# FILTER leaves cases out of the ctest list (ones that a separate entry runs in its own setting).
function(varnex_add_gtest)
  cmake_parse_arguments(T "GUI" "NAME;FILTER" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  set(filter)
  if(T_FILTER)
    set(filter TEST_FILTER ${T_FILTER})
  endif()
  varnex_warnings(${T_NAME})
  if(T_GUI)
    target_link_libraries(${T_NAME} PRIVATE varnex_gui_test_main ${T_LIBS} GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(CMAKE_CROSSCOMPILING)
    return() # run under Wine by tests/windows/run-under-wine.sh, not by ctest
  endif()
  # NO_PRETTY_VALUES: a case's ctest name is its own name, not gtest's dump of its parameter
  # (bytes and addresses, which change from run to run).
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST NO_PRETTY_VALUES ${filter}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen\\;VARNEX_SOURCE_DIR=${PROJECT_SOURCE_DIR}\\;VARNEX_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
               TIMEOUT 120)
endfunction()
