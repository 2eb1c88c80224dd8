#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "app/win32/windows_system_actions.h"

#include "app/layout.h"
#include "platform/clipboard.h"
#include "platform/error_text.h"
#include "platform/executable_folder.h"
#include "platform/restart.h"
#include "runscript/win32/write_run_script.h"

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

// The shell reports failures with its own small numbers; most are system error numbers,
// the rest are mapped to the nearest one so that the user reads the system's own words.
unsigned long SystemErrorFromShell(std::intptr_t result) {
  if (result > 32) {
    return ERROR_SUCCESS;
  }
  switch (result) {
    case 0:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
      return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
      return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
      return ERROR_DLL_NOT_FOUND;
    default:
      return static_cast<unsigned long>(result);
  }
}

class RealSystemActions final : public SystemActions {
 public:
  RealSystemActions() = default;
  RealSystemActions(const RealSystemActions&) = delete;
  RealSystemActions& operator=(const RealSystemActions&) = delete;
  ~RealSystemActions() override {
    if (clipboardOwner_ != nullptr) {
      DestroyWindow(clipboardOwner_);
    }
  }

  unsigned long ShellOpen(const std::wstring& path, ShowCommand show) override {
    static const ShellExecuteFn shellExecute = BindShellExecute();
    if (shellExecute == nullptr) {
      return ERROR_DLL_NOT_FOUND;
    }
    const int showCommand = show == ShowCommand::Hidden ? SW_HIDE : SW_SHOWMAXIMIZED;
    return SystemErrorFromShell(reinterpret_cast<std::intptr_t>(
        shellExecute(nullptr, L"open", path.c_str(), L"", L"", showCommand)));
  }

  unsigned long RequestRestart() override { return RequestSystemRestart(); }

  void PutClipboardText(std::wstring_view text) override {
    addmorvane::PutClipboardText(ClipboardOwner(), text);
  }

  std::optional<std::wstring> ClipboardText() override {
    return addmorvane::ClipboardText(ClipboardOwner());
  }

  void WriteRunScript(std::wstring_view commandLine) override {
    addmorvane::WriteRunScript(commandLine);
  }

  std::wstring ExecutableFolder() override { return addmorvane::ExecutableFolder(); }

  void ReportFailure(unsigned long code, const std::wstring& action) override {
    const std::wstring text = FailureReportText(code, action);
    const std::wstring caption(kFormCaption);
    MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  }

 private:
  // Windows gives the clipboard only to a window; a message-only window of our own serves,
  // created on the thread that first uses the clipboard (the window's thread).
  HWND ClipboardOwner() {
    if (clipboardOwner_ == nullptr) {
      clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    }
    return clipboardOwner_;
  }

  HWND clipboardOwner_ = nullptr;
};

}  // namespace

SystemActions& WindowsSystemActions() {
  static RealSystemActions actions;
  return actions;
}

}  // namespace addmorvane
