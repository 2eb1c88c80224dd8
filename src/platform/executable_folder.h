#pragma once

#include <string>

namespace addmorvane {

// The folder that holds this program's executable, without a trailing separator, also when
// the program lies in a drive's root ("C:").
std::wstring ExecutableFolder();

}  // namespace addmorvane
