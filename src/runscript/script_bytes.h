// The exact bytes of the run script for a command line already in the ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace addmorvane {

// Line 1 is the command line with one extra carriage return before its CR LF (the boot-time
// interpreter has always been given it that way); line 2 calls the follow-up script. Nothing
// follows the second line end: n + 21 bytes in all.
std::string RunScriptBytes(std::string_view ansiCommandLine);

}  // namespace addmorvane
