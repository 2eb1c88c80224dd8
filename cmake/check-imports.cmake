# Fails unless every DLL that EXE imports is one that Windows loads only from System32
# (its KnownDLLs list), so that no DLL planted beside the program can be loaded in its place,
# and no entry of them is one that Windows forwards to a DLL outside that list (advapi32's
# SystemFunction036 goes to CRYPTBASE.dll, which the loader looks for beside the program first).
# And the PE header: subsystem and OS version 6.1 and terminal-server aware, so that Windows
# applies none of its compatibility behaviour for old programs.
cmake_minimum_required(VERSION 3.20)
set(known advapi32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll ole32.dll
    oleaut32.dll comdlg32.dll shlwapi.dll)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot read the imports of ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(forwarded SystemFunction036 SystemFunction040 SystemFunction041)
  if(dump MATCHES "[ \t]${forwarded}\n")
    message(FATAL_ERROR "${EXE} imports ${forwarded}, which Windows forwards to CRYPTBASE.dll")
  endif()
endforeach()
foreach(field "MajorSubsystemVersion[ \t]+6\n" "MinorSubsystemVersion[ \t]+1\n"
    "MajorOSystemVersion[ \t]+6\n" "MinorOSystemVersion[ \t]+1\n" "TERMINAL_SERVICE_AWARE")
  if(NOT dump MATCHES "${field}")
    message(FATAL_ERROR "${EXE}'s header lacks ${field}")
  endif()
endforeach()
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST known)
    message(FATAL_ERROR "${EXE} imports ${dll}, which is not a known DLL")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
