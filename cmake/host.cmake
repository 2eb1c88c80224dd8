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
# The DOS partition's check on disks that the real tools make at test time, in the build tree.
set(dospart_images ${CMAKE_CURRENT_BINARY_DIR}/dospart-images)
add_test(NAME dospart_images
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/dospart/make-images ${dospart_images})
set_tests_properties(dospart_images PROPERTIES FIXTURES_SETUP dospart_images)
add_executable(dospart_tests tests/dospart/images_test.cpp)
target_compile_definitions(dospart_tests PRIVATE DOSPART_IMAGES="${dospart_images}")
target_link_libraries(dospart_tests PRIVATE addmorvane_core GTest::gtest_main)
add_test(NAME dospart_image_cases COMMAND dospart_tests)
set_tests_properties(dospart_image_cases PROPERTIES FIXTURES_REQUIRED dospart_images)

# The same check under libFuzzer, seeded with those disks: a few seconds in every test run.
# libFuzzer comes with clang; the build of the rest stays with the host's compiler.
find_program(ADDMORVANE_CLANGXX clang++)
if(ADDMORVANE_CLANGXX)
  set(dospart_fuzz ${CMAKE_CURRENT_BINARY_DIR}/dospart_fuzz)
  set(dospart_fuzz_sources ${CMAKE_CURRENT_SOURCE_DIR}/tests/dospart/fuzz.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/src/dospart/check.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/src/dospart/layout.cpp)
  add_custom_command(OUTPUT ${dospart_fuzz}
    COMMAND ${ADDMORVANE_CLANGXX} -std=c++20 -g -O1 -Wall -Wextra -Werror
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_CURRENT_SOURCE_DIR}/src ${dospart_fuzz_sources} -o ${dospart_fuzz}
    DEPENDS ${dospart_fuzz_sources} ${CMAKE_CURRENT_SOURCE_DIR}/tests/dospart/image_disk.h
    COMMENT "Building the DOS partition's fuzz target"
    VERBATIM)
  add_custom_target(dospart_fuzz_target ALL DEPENDS ${dospart_fuzz})
  add_test(NAME dospart_fuzz
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/dospart/fuzz-run ${dospart_fuzz}
            ${dospart_images} ${CMAKE_CURRENT_BINARY_DIR}/dospart-corpus 3)
  set_tests_properties(dospart_fuzz PROPERTIES FIXTURES_REQUIRED dospart_images TIMEOUT 60)
endif()
