// The system's error number for a shell call's result, so that the user reads the system's
// own words for it.
#pragma once

#include <cstdint>

namespace addmorvane {

// The Win32 error inside a failure result of the system's facility; the result itself for any
// other failure; E_FAIL for a success code other than S_OK, which is how the desktop's shell
// says that it started nothing. Never 0, which would read as success.
unsigned long SystemErrorFromResult(std::uint32_t result);

// Whether a call into the shell's process, once made, that answered `result` may still have
// started the file. Any failure may have: a broken connection, a failed server or an unknown
// code can all come after the file was started, and its answer lost. Only four say that
// nothing ran: the two that the system documents as "did not execute", and the two refusals
// that the shell's message filter gives before the call runs. A success code other than S_OK
// is the shell's own answer that it started nothing.
bool CallMayHaveStarted(std::uint32_t result);

}  // namespace addmorvane
