#include "launch/script_start.h"

#include "runscript/vocabulary.h"

namespace addmorvane {

InterpreterStart LaunchScriptStart(std::wstring_view windowsFolder, bool redirected) {
  std::wstring folder(windowsFolder);
  if (!folder.empty() && folder.back() == L'\\') {
    folder.pop_back();
  }
  // /d: no AutoRun command of the user's. call: the script's own "exit /b N" becomes the
  // interpreter's exit code, which a plain /c can lose.
  const std::wstring interpreter =
      folder + (redirected ? L"\\Sysnative\\cmd.exe" : L"\\System32\\cmd.exe");
  return {interpreter,
          L"\"" + interpreter + L"\" /d /c call \"" + std::wstring(kLaunchScriptPath) + L"\"",
          L"C:\\"};
}

std::wstring ExitCodeText(unsigned long code) {
  if (code < 0x80000000UL) {
    return std::to_wstring(code);
  }
  constexpr std::wstring_view kDigits = L"0123456789ABCDEF";
  std::wstring text = L"0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    text += kDigits[(code >> shift) & 0xFU];
  }
  return text;
}

}  // namespace addmorvane
