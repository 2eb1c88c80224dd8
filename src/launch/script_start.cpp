#include "launch/script_start.h"

#include <utility>

#include "base/join.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

InterpreterStart LaunchScriptStart(std::wstring_view windowsFolder, bool redirected) {
  if (!windowsFolder.empty() && windowsFolder.back() == L'\\') {
    windowsFolder.remove_suffix(1);
  }
  // /d: no AutoRun command of the user's. call: the script's own "exit /b N" becomes the
  // interpreter's exit code, which a plain /c can lose.
  std::wstring interpreter =
      Join({windowsFolder, redirected ? L"\\Sysnative\\cmd.exe" : L"\\System32\\cmd.exe"});
  std::wstring commandLine =
      Join({L"\"", interpreter, L"\" /d /c call \"", kLaunchScriptPath, L"\""});
  return {std::move(interpreter), std::move(commandLine), L"C:\\"};
}

std::wstring ExitCodeText(unsigned long code) {
  code &= 0xFFFFFFFFUL;
  if (code < 0x80000000UL) {
    return Decimal(code);
  }
  constexpr std::wstring_view kDigits = L"0123456789ABCDEF";
  wchar_t text[] = L"0x00000000";
  for (std::size_t digit = 0; digit < 8; ++digit) {
    text[9 - digit] = kDigits[(code >> (4 * digit)) & 0xFU];
  }
  return text;
}

}  // namespace addmorvane
