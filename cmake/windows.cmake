# The Windows program and its tests (cross-built with mingw-w64 or built with MSVC).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)

set(win_sources ${win32_sources})
list(FILTER win_sources EXCLUDE REGEX "/app/win32/main\\.cpp$")
list(FILTER win_sources EXCLUDE REGEX "/platform/terminate_mingw\\.cpp$")

# Everything but the entry point, so the tests can build the same window in-process.
add_library(addmorvane_win STATIC ${win_sources})
target_link_libraries(addmorvane_win PUBLIC addmorvane_core user32 gdi32 shell32 advapi32 ole32
  oleaut32 uuid)

# The version record's numbers and texts, from the project's version (leading zeros dropped
# from the numbers, which the resource compiler would read as octal).
math(EXPR ADDMORVANE_VERSION_MAJOR "${PROJECT_VERSION_MAJOR}")
math(EXPR ADDMORVANE_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
configure_file(res/version.h.in generated/version.h @ONLY)
set_source_files_properties(res/addmorvane.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR}/generated
  OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/generated/version.h)

add_executable(addmorvane WIN32 src/app/win32/main.cpp res/addmorvane.rc)
if(MINGW)
  target_sources(addmorvane PRIVATE src/platform/terminate_mingw.cpp)
endif()
target_link_libraries(addmorvane PRIVATE addmorvane_win)

if(MINGW)
  # One self-contained exe: no libstdc++, libgcc or winpthread DLL beside it.
  set(static_flags -static -static-libgcc -static-libstdc++)
  # A small program: optimise for size and drop what nothing calls.
  foreach(target addmorvane addmorvane_win addmorvane_core)
    target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
  endforeach()
  # No link time stamp in the PE header: the same sources give the same exe, byte for byte.
  target_link_options(addmorvane PRIVATE ${static_flags} -municode -s -Wl,--gc-sections
    -Wl,--no-insert-timestamp)
  set(ADDMORVANE_TEST_LINK ${static_flags})
else()
  target_link_options(addmorvane PRIVATE /MANIFEST:NO)
  set_property(TARGET addmorvane addmorvane_core addmorvane_win PROPERTY
    MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

option(ADDMORVANE_TESTS "Build the Windows tests" ON)
set(GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
if(ADDMORVANE_TESTS AND NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(STATUS "No GoogleTest sources at ${GOOGLETEST_SOURCE_DIR}: building the program "
    "without its tests (set GOOGLETEST_SOURCE_DIR to build them)")
  set(ADDMORVANE_TESTS OFF)
endif()
if(ADDMORVANE_TESTS)
  include(cmake/windows-tests.cmake)
  include(cmake/reproducible-test.cmake)
  include(cmake/dos-tests.cmake)
endif()

include(cmake/bench.cmake)
