# Native build of the portable core and its tests, with AddressSanitizer and UBSan.
option(ADDMORVANE_SANITIZE "Build the host tests with ASan and UBSan" ON)
if(ADDMORVANE_SANITIZE)
  set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(addmorvane_core PUBLIC ${sanitize})
  target_link_options(addmorvane_core PUBLIC ${sanitize})
endif()

find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()
file(GLOB host_tests CONFIGURE_DEPENDS tests/host/*.cpp tests/support/*.cpp)
add_executable(host_tests ${host_tests})
target_include_directories(host_tests PRIVATE tests tests/support)
target_link_libraries(host_tests PRIVATE addmorvane_core GTest::gtest_main)
gtest_discover_tests(host_tests)

# The layout check fails for includes planted where they do not belong.
add_test(NAME layout_check_planted
  COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/layout/planted_cases.py
          ${CMAKE_SOURCE_DIR}/scripts/layout-check.py
          ${CMAKE_SOURCE_DIR}/src)
