#pragma once

#include <string>
#include <string_view>

namespace addmorvane {

// Converts to the system's ANSI code page. A character that the code page cannot represent
// is an error (ERROR_NO_UNICODE_TRANSLATION), never a silent "?" or a best-fit look-alike:
// the text goes into a script that runs unattended at boot.
std::string ToAnsi(std::wstring_view text);

}  // namespace addmorvane
