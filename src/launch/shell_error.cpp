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

}  // namespace addmorvane
