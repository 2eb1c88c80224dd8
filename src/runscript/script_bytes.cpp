#include "runscript/script_bytes.h"

#include "runscript/vocabulary.h"

namespace addmorvane {

std::string RunScriptBytes(std::string_view ansiCommandLine) {
  std::string bytes;
  bytes.reserve(ansiCommandLine.size() + kFollowUpScriptPath.size() + 6);
  bytes.append(ansiCommandLine);
  bytes.append("\r\r\n");
  // "@" keeps the interpreter from echoing the line. The path is ASCII, so it is the same
  // in every ANSI code page.
  bytes.push_back('@');
  for (const wchar_t character : kFollowUpScriptPath) {
    bytes.push_back(static_cast<char>(character));
  }
  bytes.append("\r\n");
  return bytes;
}

}  // namespace addmorvane
