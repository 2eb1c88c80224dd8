// What the user reads when the program will not open a file with its full rights.
#pragma once

#include <string>
#include <string_view>

#include "launch/file_trust.h"

namespace addmorvane {

// What an administrator is told to do: restrict a file that is only opened in place; replace
// a script that is run by a new, protected one, since an open file keeps its access.
enum class Remedy { Restrict, Replace };

// The message for `file`, refused because of `verdict` on `judged` (the file itself or its
// folder, as `guarded` says); `principal` is the verdict's principal as the user knows it.
// It names the file, says why and what an administrator does, as `remedy` says.
std::wstring RefusalText(std::wstring_view file,
                         std::wstring_view judged,
                         Guarded guarded,
                         const TrustVerdict& verdict,
                         std::wstring_view principal,
                         Remedy remedy);

}  // namespace addmorvane
