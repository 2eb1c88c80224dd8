#pragma once

#include <string_view>

namespace addmorvane {

// Replaces the run script with `commandLine` as its first line, in the system's ANSI code
// page. Throws SystemError and leaves the old run script whole when it cannot.
void WriteRunScript(std::wstring_view commandLine);

}  // namespace addmorvane
