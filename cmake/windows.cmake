# The Windows program and its tests (cross-built with mingw-w64 or built with MSVC).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)

set(win_sources ${win32_sources})
list(FILTER win_sources EXCLUDE REGEX "/app/win32/main\\.cpp$")
list(FILTER win_sources EXCLUDE REGEX "/platform/terminate_mingw\\.cpp$")
# The DOS partition's checker is a program of its own (below).
list(FILTER win_sources EXCLUDE REGEX "/dospart/win32/")

# Everything but the entry point, so the tests can build the same window in-process.
add_library(addmorvane_win STATIC ${win_sources})
target_link_libraries(addmorvane_win PUBLIC addmorvane_core user32 gdi32 shell32 advapi32 ole32
  oleaut32 uuid)

# The version record's numbers and texts, from the project's version (leading zeros dropped
# from the numbers, which the resource compiler would read as octal).
math(EXPR ADDMORVANE_VERSION_MAJOR "${PROJECT_VERSION_MAJOR}")
math(EXPR ADDMORVANE_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
configure_file(res/version.h.in generated/version.h @ONLY)

# The icon, made from the pictures in res/icon/: the 32 x 32 picture in 16 colours, then the
# same picture drawn for each size Windows shows, as 32-bit images with alpha (the 256 px one
# PNG-compressed, as Windows wants it). ImageMagick stamps PNGs with dates unless told not to;
# without them the same pictures give the same icon, byte for byte. On Windows, convert.exe is
# the system's file-system converter: there ImageMagick is `magick`.
if(CMAKE_HOST_WIN32)
  find_program(ADDMORVANE_IMAGEMAGICK magick REQUIRED)
else()
  find_program(ADDMORVANE_IMAGEMAGICK NAMES convert magick REQUIRED)
endif()
set(icon_dir ${CMAKE_CURRENT_SOURCE_DIR}/res/icon)
set(icon_maps)
foreach(size 16 20 24 32 40 48 64)
  list(APPEND icon_maps ${icon_dir}/ram-${size}.xpm)
endforeach()
set(icon ${CMAKE_CURRENT_BINARY_DIR}/generated/addmorvane.ico)
add_custom_command(OUTPUT ${icon}
  COMMAND ${ADDMORVANE_IMAGEMAGICK} -background none
    ( ${icon_dir}/ram-32.xpm -type PaletteAlpha ) ${icon_maps}
    ( MVG:${icon_dir}/ram-256.mvg -depth 8 )
    +set date:create +set date:modify -define png:exclude-chunks=date,time ${icon}
  DEPENDS ${icon_maps} ${icon_dir}/ram-256.mvg
  COMMENT "Drawing the icon"
  VERBATIM)
add_custom_target(addmorvane_icon DEPENDS ${icon})

set_source_files_properties(res/addmorvane.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR}/generated
  OBJECT_DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/generated/version.h;${icon}")

add_executable(addmorvane WIN32 src/app/win32/main.cpp res/addmorvane.rc)
if(MINGW)
  target_sources(addmorvane PRIVATE src/platform/terminate_mingw.cpp)
endif()
target_link_libraries(addmorvane PRIVATE addmorvane_win)
add_dependencies(addmorvane addmorvane_icon)

if(MINGW)
  # One self-contained exe: no libstdc++, libgcc or winpthread DLL beside it.
  set(static_flags -static -static-libgcc -static-libstdc++)
  # A small program: optimise for size and drop what nothing calls.
  foreach(target addmorvane addmorvane_win addmorvane_core)
    target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
  endforeach()
  # No link time stamp in the PE header: the same sources give the same exe, byte for byte.
  # Subsystem and OS version 6.1 (Windows 7, the oldest the program runs on) and terminal-server
  # aware: older versions, or no such mark, bring Windows' compatibility behaviour for old
  # programs (a per-session view of the Windows folder and its INI files, other window metrics).
  target_link_options(addmorvane PRIVATE ${static_flags} -municode -s -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--subsystem,windows:6.1 -Wl,--major-os-version,6
    -Wl,--minor-os-version,1 -Wl,--tsaware)
  set(ADDMORVANE_TEST_LINK ${static_flags})
else()
  # The linker marks it terminal-server aware by itself.
  target_link_options(addmorvane PRIVATE /MANIFEST:NO /SUBSYSTEM:WINDOWS,6.01)
  set_property(TARGET addmorvane addmorvane_core addmorvane_win PROPERTY
    MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

# The DOS partition's checker: a console program beside the launcher, built the same way.
set_source_files_properties(res/dospart-check.rc PROPERTIES
  INCLUDE_DIRECTORIES ${CMAKE_CURRENT_BINARY_DIR}/generated
  OBJECT_DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/generated/version.h;${CMAKE_CURRENT_SOURCE_DIR}/res/dospart-check.manifest")
add_executable(dospart-check src/dospart/win32/main.cpp src/dospart/win32/disk.cpp
                             src/platform/error_text.cpp res/dospart-check.rc)
target_link_libraries(dospart-check PRIVATE addmorvane_core advapi32)
if(MINGW)
  target_sources(dospart-check PRIVATE src/platform/terminate_mingw.cpp)
  target_compile_options(dospart-check PRIVATE -Os -ffunction-sections -fdata-sections)
  target_link_options(dospart-check PRIVATE ${static_flags} -municode -s -Wl,--gc-sections
    -Wl,--no-insert-timestamp -Wl,--subsystem,console:6.1 -Wl,--major-os-version,6
    -Wl,--minor-os-version,1 -Wl,--tsaware)
else()
  target_link_options(dospart-check PRIVATE /MANIFEST:NO /SUBSYSTEM:CONSOLE,6.01)
  set_property(TARGET dospart-check PROPERTY
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
