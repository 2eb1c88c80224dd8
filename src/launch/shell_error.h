// The system's error number for a shell call's result, so that the user reads the system's
// own words for it.
#pragma once

#include <cstdint>

namespace addmorvane {

// The Win32 error inside a failure result of the system's facility; the result itself for any
// other failure; E_FAIL for a success code other than S_OK, which is how the desktop's shell
// says that it started nothing. Never 0, which would read as success.
unsigned long SystemErrorFromResult(std::uint32_t result);

// Whether a call into the shell's process that failed with `result` may still have started
// the file: the connection to the shell broke, or the shell failed, after the call had been
// handed over, so its answer was lost rather than a refusal.
bool CallMayHaveStarted(std::uint32_t result);

}  // namespace addmorvane
