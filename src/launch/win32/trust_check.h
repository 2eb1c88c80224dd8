// Whether the program may hand a file its administrator rights: only when nobody but the
// system and the administrators can change the file or swap it in its folder.
#pragma once

#include <string>

#include "launch/trust_refusal.h"

namespace addmorvane {

// Empty when the file and its folder are safe to run or open with full rights; otherwise the
// whole message the user is told instead, with `remedy`'s advice. May look up account names,
// to word a refusal.
std::wstring WhyNotTrusted(const std::wstring& path, Remedy remedy);

}  // namespace addmorvane
