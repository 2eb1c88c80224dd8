#include "runscript/compose.h"

namespace addmorvane {

std::optional<std::wstring> ComposeCommandLine(std::wstring_view cycle,
                                               std::wstring_view pass,
                                               const FlagValues& flags) {
  for (const std::int16_t value : flags) {
    if (value != 0 && value != 1) {
      return std::nullopt;
    }
  }
  std::wstring line(kTesterPath);
  line.append(L" ").append(cycle);
  line.append(L" ").append(pass);
  for (std::size_t i = 0; i < kFlagCount; ++i) {
    if (flags[i] == 1) {
      line.append(L" ").append(kOptionFlags[i]);
    }
  }
  return line;
}

}  // namespace addmorvane
