# The run scripts that the real program writes, run by a DOS command interpreter (DOSBox) with
# a DOS stand-in for the tester; see tests/dos/dos-run. The Windows half takes the scripts
# from the program under Wine; it runs only from there, so it is no test of its own.
add_executable(dos_script_capture tests/dos/script_capture_test.cpp tests/e2e/app_process.cpp)
target_include_directories(dos_script_capture PRIVATE src tests tests/e2e)
target_link_libraries(dos_script_capture PRIVATE gtest_main user32)
target_link_options(dos_script_capture PRIVATE ${ADDMORVANE_TEST_LINK})
add_dependencies(dos_script_capture addmorvane)

if(CMAKE_HOST_UNIX)
  add_test(NAME run_script_under_dos
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/dos/dos-run $<TARGET_FILE:dos_script_capture>)
  set_tests_properties(run_script_under_dos PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 300
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|\\] 0 tests")
endif()
