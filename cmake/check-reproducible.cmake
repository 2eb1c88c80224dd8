# Links the program a second time, from the build's own objects into a folder of its own, and
# fails unless both exes are the same byte for byte and carry no link time stamp. The second
# link runs when the test runs, after the rest of the build; the time-stamp check does not
# depend on that, the byte compare catches anything else that a link adds from its
# surroundings (time, folder).
#   cmake -DBUILD_DIR=<build tree> -DOBJDUMP=<objdump> -P check-reproducible.cmake
cmake_minimum_required(VERSION 3.20)
set(first ${BUILD_DIR}/addmorvane.exe)
set(again ${BUILD_DIR}/reproduce)
set(link_txt ${BUILD_DIR}/CMakeFiles/addmorvane.dir/link.txt)
if(NOT EXISTS ${link_txt} OR NOT EXISTS ${first})
  message(FATAL_ERROR "no link command or no exe in ${BUILD_DIR}; build the addmorvane target")
endif()

# The Makefile generators write the link command line by line; the link itself is the line
# that names the exe.
file(STRINGS ${link_txt} lines)
list(FILTER lines INCLUDE REGEX " -o addmorvane\\.exe( |$)")
list(LENGTH lines count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one link line for addmorvane.exe in ${link_txt}, found ${count}")
endif()
separate_arguments(command UNIX_COMMAND "${lines}")
list(TRANSFORM command REPLACE "^addmorvane\\.exe$" "${again}/addmorvane.exe")
list(TRANSFORM command REPLACE "^-Wl,--out-implib,.*$" "-Wl,--out-implib,${again}/implib.a")

file(REMOVE_RECURSE ${again})
file(MAKE_DIRECTORY ${again})
execute_process(COMMAND ${command} WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the second link failed (${status})")
endif()

file(SHA256 ${first} first_sum)
file(SHA256 ${again}/addmorvane.exe again_sum)
message(STATUS "first link:  ${first_sum}")
message(STATUS "second link: ${again_sum}")
if(NOT first_sum STREQUAL again_sum)
  message(FATAL_ERROR "two links of the same objects differ: ${first} and ${again}/addmorvane.exe")
endif()

# objdump shows the stamp in local time; in UTC a zero stamp is the start of 1970.
set(ENV{TZ} UTC)
execute_process(COMMAND ${OBJDUMP} -p ${first} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT dump MATCHES "Time/Date[ \t]+([^\n]*)")
  message(FATAL_ERROR "cannot read the PE header of ${first}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL "Thu Jan  1 00:00:00 1970")
  message(FATAL_ERROR "the exe carries a link time stamp: ${CMAKE_MATCH_1}")
endif()
file(REMOVE_RECURSE ${again})
