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
  constexpr std::uint32_t kFailureBit = 0x80000000U;
  switch (result) {
    case 0x800706BFU:  // RPC_S_CALL_FAILED_DNE: failed, did not execute
    case 0x80010012U:  // RPC_E_SERVER_DIED_DNE: the server died, the call did not execute
    case 0x80010001U:  // RPC_E_CALL_REJECTED: refused by the server's message filter
    case 0x8001010AU:  // RPC_E_SERVERCALL_RETRYLATER: the filter's "retry later", not run
      return false;
    default:
      return (result & kFailureBit) != 0;
  }
}

}  // namespace addmorvane
