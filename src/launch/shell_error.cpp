#include "launch/shell_error.h"

namespace addmorvane {

unsigned long SystemErrorFromResult(std::uint32_t result) {
  constexpr std::uint32_t kFailureBit = 0x80000000U;
  constexpr std::uint32_t kFacilityWin32 = 7;
  constexpr std::uint32_t kFail = 0x80004005U;  // E_FAIL
  if ((result & kFailureBit) == 0) {
    return kFail;
  }
  const std::uint32_t code = result & 0xFFFFU;
  if (((result >> 16) & 0x1FFFU) == kFacilityWin32 && code != 0) {
    return code;
  }
  return result;
}

bool CallMayHaveStarted(std::uint32_t result) {
  switch (result) {
    case 0x80010108U:  // RPC_E_DISCONNECTED: the shell's object went away
    case 0x800706BEU:  // RPC_S_CALL_FAILED: the call failed after it was made
    case 0x800706BAU:  // RPC_S_SERVER_UNAVAILABLE: the shell ended while answering
    case 0x80010105U:  // RPC_E_SERVERFAULT: the shell failed inside the call
      return true;
    default:  // among them RPC_S_CALL_FAILED_DNE, RPC_E_CALL_REJECTED, RPC_E_SERVERCALL_RETRYLATER
      return false;
  }
}

}  // namespace addmorvane
