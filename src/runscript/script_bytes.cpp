#include "runscript/script_bytes.h"

namespace addmorvane {

std::string RunScriptBytes(std::string_view ansiCommandLine) {
  // The follow-up script's path is ASCII, so it is the same in every ANSI code page.
  static constexpr std::string_view kSecondLine = "@C:\\morvane2.bat\r\n";
  std::string bytes;
  bytes.reserve(ansiCommandLine.size() + 3 + kSecondLine.size());
  bytes.append(ansiCommandLine);
  bytes.append("\r\r\n");
  bytes.append(kSecondLine);
  return bytes;
}

}  // namespace addmorvane
