# The Windows program and its tests (cross-built with mingw-w64 or built with MSVC).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)

file(GLOB_RECURSE win_sources CONFIGURE_DEPENDS
  src/app/*.cpp src/runscript/*.cpp src/launch/*.cpp src/platform/*.cpp)
list(FILTER win_sources EXCLUDE REGEX "/app/main\\.cpp$")
list(FILTER win_sources EXCLUDE REGEX "/platform/terminate_mingw\\.cpp$")
get_target_property(core_sources addmorvane_core SOURCES)
foreach(core ${core_sources})
  list(FILTER win_sources EXCLUDE REGEX "/${core}$")
endforeach()

# Everything but the entry point, so the tests can build the same window in-process.
add_library(addmorvane_win STATIC ${win_sources})
target_link_libraries(addmorvane_win PUBLIC addmorvane_core user32 gdi32 shell32 advapi32 ole32
  oleaut32 uuid)

add_executable(addmorvane WIN32 src/app/main.cpp res/addmorvane.rc)
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
  target_link_options(addmorvane PRIVATE ${static_flags} -municode -s -Wl,--gc-sections)
  set(ADDMORVANE_TEST_LINK ${static_flags})
else()
  target_link_options(addmorvane PRIVATE /MANIFEST:NO)
  set_property(TARGET addmorvane addmorvane_core addmorvane_win PROPERTY
    MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

option(ADDMORVANE_TESTS "Build the Windows tests" ON)
if(ADDMORVANE_TESTS)
  include(cmake/windows-tests.cmake)
endif()

include(cmake/bench.cmake)
