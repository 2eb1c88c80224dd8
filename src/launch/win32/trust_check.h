// Whether the program may hand a file its administrator rights: only when nobody but the
// system, the administrators and the user running the program can change the file or swap it
// in its folder.
#pragma once

#include <string>

namespace addmorvane {

// Empty when the file and its folder are safe to run or open with full rights; otherwise the
// whole message the user is told instead. May look up account names, to word a refusal.
std::wstring WhyNotTrusted(const std::wstring& path);

}  // namespace addmorvane
