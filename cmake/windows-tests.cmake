# Windows tests, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR (see tests/wine-run).
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL SYSTEM)
# The toolchain's win32 thread model has no std::mutex, which GoogleTest wants for one class of
# its own: that class comes from tests/support, ahead of everything else, in GoogleTest and in
# whatever links it, never in the program's own targets.
target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
target_compile_options(gtest PUBLIC
  -include ${CMAKE_CURRENT_SOURCE_DIR}/tests/support/gtest_notification.h)

include(GoogleTest)
enable_testing()

# A second process that holds a file open as another program would; found beside the tests.
add_executable(file_holder tests/helper/file_holder.cpp)
if(MINGW)
  target_link_options(file_holder PRIVATE ${ADDMORVANE_TEST_LINK} -municode)
endif()

# In-process: the real window with a recording platform, driven by real input.
# It carries the program's own manifest, so the window meets the same dpi awareness and
# common controls as in the program.
file(GLOB win_tests CONFIGURE_DEPENDS tests/win/*.cpp)
add_executable(win_tests ${win_tests} tests/support/recording_actions.cpp res/addmorvane.rc)
target_include_directories(win_tests PRIVATE tests tests/support tests/win)
target_link_libraries(win_tests PRIVATE addmorvane_win gtest_main)
target_link_options(win_tests PRIVATE ${ADDMORVANE_TEST_LINK})
add_dependencies(win_tests file_holder addmorvane_icon)
# The high-dpi and disk-full cases need prefixes of their own; they run below.
gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  TEST_FILTER "-HighDpiTest.*:DiskFullTest.*"
  PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120)

# The same window once more on a 144 dpi display: a prefix of its own, since Wine reads the
# density when its server starts.
add_test(NAME high_dpi_144
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/high-dpi-run 144
          $<TARGET_FILE:win_tests> --gtest_filter=HighDpiTest.*)
set_tests_properties(high_dpi_144 PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 300
  FAIL_REGULAR_EXPRESSION "SKIPPED|FAILED")

# The run script on a full disk: drive C: of a prefix of its own on a small file system.
# Mounting it needs root; without it the script exits with 77 and says why.
add_test(NAME disk_full
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/disk-full-run $<TARGET_FILE:win_tests>)
set_tests_properties(disk_full PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120
  SKIP_RETURN_CODE 77 FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\]|\\[  FAILED  \\]|\\] 0 tests")

# The DOS partition's checker on disk images in place of the disk, and bootsect's file.
if(CMAKE_HOST_UNIX)
  add_test(NAME dospart_check_wine
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/dospart/wine-check-run
            $<TARGET_FILE:dospart-check> ${CMAKE_CURRENT_SOURCE_DIR}/build/host/dospart-images)
  set_tests_properties(dospart_check_wine PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120)
endif()

# Elevated programs must not load DLLs planted beside them: the exe may import only DLLs that
# Windows keeps in its known-DLL list.
if(MINGW)
  add_test(NAME exe_imports_only_known_dlls
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:addmorvane> -DOBJDUMP=${CMAKE_OBJDUMP}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/check-imports.cmake)
  add_test(NAME dospart_check_imports_only_known_dlls
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:dospart-check> -DOBJDUMP=${CMAKE_OBJDUMP}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/check-imports.cmake)
endif()

# The release's Windows Installer packages and signing, made from this build's exe by the
# script ./release uses, installed, upgraded and removed under Wine; the exe's file version is
# the one its version record is built with.
if(MINGW AND CMAKE_HOST_UNIX)
  add_test(NAME msi_package
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/package-run $<TARGET_FILE:addmorvane>
            ${ADDMORVANE_VERSION_MAJOR}.${ADDMORVANE_VERSION_MINOR}.0.0)
  set_tests_properties(msi_package PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120)
endif()

# The example launch and undo scripts that ship beside the program, under Wine's cmd, with one
# stand-in program for the system tools they call, which records its calls and fails on request.
add_executable(tool_standin tests/helper/tool_standin.cpp)
target_link_options(tool_standin PRIVATE ${ADDMORVANE_TEST_LINK})
if(CMAKE_HOST_UNIX)
  add_test(NAME launch_script_example
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/launch-example-run $<TARGET_FILE:tool_standin>)
  set_tests_properties(launch_script_example PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 180)
endif()

# Out-of-process: the real exe, started and watched from outside.
# The exe is found beside the test program.
file(GLOB e2e_tests CONFIGURE_DEPENDS tests/e2e/*.cpp)
if(NOT e2e_tests)
  return()
endif()
add_executable(e2e_tests ${e2e_tests} tests/win/harness.cpp tests/win/file_holder.cpp
  tests/support/recording_actions.cpp)
target_include_directories(e2e_tests PRIVATE tests tests/support tests/e2e tests/win)
target_link_libraries(e2e_tests PRIVATE addmorvane_win gtest_main)
target_link_options(e2e_tests PRIVATE ${ADDMORVANE_TEST_LINK})
add_dependencies(e2e_tests addmorvane file_holder)
gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
  PROPERTIES RESOURCE_LOCK wine_desktop TIMEOUT 120)
