#include <windows.h>
#include <shellapi.h>

#include "app/layout.h"
#include "platform/restart.h"
#include "platform/system_actions.h"

namespace addmorvane {
namespace {

// The shell is bound when it is first needed, from the system folder only: most runs never
// open anything, and the program runs elevated.
using ShellExecuteFn =
    HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int);

ShellExecuteFn BindShellExecute() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  const std::wstring path = std::wstring(folder, length) + L"\\shell32.dll";
  HMODULE shell = LoadLibraryW(path.c_str());
  if (shell == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<ShellExecuteFn>(
      reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
}

class RealSystemActions final : public SystemActions {
 public:
  std::intptr_t ShellOpen(const std::wstring& path, ShowCommand show) override {
    static const ShellExecuteFn shellExecute = BindShellExecute();
    if (shellExecute == nullptr) {
      return SE_ERR_DLLNOTFOUND;
    }
    const int showCommand = show == ShowCommand::Hidden ? SW_HIDE : SW_SHOWMAXIMIZED;
    return reinterpret_cast<std::intptr_t>(
        shellExecute(nullptr, L"open", path.c_str(), L"", L"", showCommand));
  }

  unsigned long RequestRestart() override { return RequestSystemRestart(); }

  void ShowMessage(const std::wstring& text) override {
    const std::wstring caption(kFormCaption);
    MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  }
};

}  // namespace

SystemActions& WindowsSystemActions() {
  static RealSystemActions actions;
  return actions;
}

}  // namespace addmorvane
