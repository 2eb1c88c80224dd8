# Programs for ./bench: three baselines built exactly like the program (same compile and link
# options, same resources), and the driver that runs and measures them all under Wine.
option(ADDMORVANE_BENCH "Build the benchmark programs" ON)
if(NOT ADDMORVANE_BENCH)
  return()
endif()

# The plain-controls baseline: the program's own sources and resources, with an entry point of
# its own in place of src/app/win32/main.cpp.
get_target_property(bench_plain_sources addmorvane SOURCES)
list(FILTER bench_plain_sources EXCLUDE REGEX "/app/win32/main\\.cpp$")
# Built by ./bench alone (through bench_driver), never by a plain build of the tree.
add_executable(bench_plain WIN32 EXCLUDE_FROM_ALL benchmark/plain.cpp ${bench_plain_sources})
target_link_libraries(bench_plain PRIVATE addmorvane_win)
add_executable(bench_empty WIN32 EXCLUDE_FROM_ALL benchmark/empty.cpp res/addmorvane.rc)
# The bare press: a button whose click starts the launch script as the program does (the same
# interpreter and switches, hidden), and nothing else; it needs no library beyond the default.
add_executable(bench_bare WIN32 EXCLUDE_FROM_ALL benchmark/bare.cpp res/addmorvane.rc)
add_executable(bench_driver EXCLUDE_FROM_ALL benchmark/driver.cpp benchmark/programs.cpp benchmark/press.cpp
                            benchmark/launch_marker.cpp benchmark/dospart_check.cpp)
# Run by hand, not by ./bench (cmake --build build/win --target shell_probe): the desktop
# shell's answers against short bounds.
add_executable(shell_probe EXCLUDE_FROM_ALL benchmark/shell_probe.cpp)
target_link_libraries(shell_probe PRIVATE addmorvane_win)
target_link_libraries(bench_driver PRIVATE user32 psapi)
add_dependencies(bench_driver addmorvane bench_plain bench_empty bench_bare dospart-check)
foreach(target bench_plain bench_empty bench_bare)
  add_dependencies(${target} addmorvane_icon)
endforeach()

foreach(property COMPILE_OPTIONS LINK_OPTIONS MSVC_RUNTIME_LIBRARY)
  get_target_property(value addmorvane ${property})
  if(value)
    set_property(TARGET bench_plain bench_empty bench_bare bench_driver shell_probe
                                 PROPERTY ${property} ${value})
  endif()
endforeach()
