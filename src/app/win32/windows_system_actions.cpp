#include <windows.h>

#include "app/win32/windows_system_actions.h"

#include "app/captions.h"
#include "app/win32/form_window.h"
#include "launch/win32/launch_script.h"
#include "launch/win32/user_rights_open.h"
#include "platform/clipboard.h"
#include "platform/error_text.h"
#include "platform/executable_folder.h"
#include "platform/restart.h"
#include "runscript/vocabulary.h"
#include "runscript/win32/write_run_script.h"

namespace addmorvane {
namespace {

// The program's window: the owned window of the form's class on this thread (its hidden owner,
// which keeps it off the taskbar, has the same class and no owner). Another copy's window is
// on another thread and never found.
BOOL CALLBACK FindForm(HWND hwnd, LPARAM found) {
  wchar_t className[32] = {};
  if (GetClassNameW(hwnd, className, 32) != 0 && std::wstring_view(className) == kFormClassName &&
      GetWindow(hwnd, GW_OWNER) != nullptr) {
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND ProgramWindow() {
  HWND form = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindForm, reinterpret_cast<LPARAM>(&form));
  return form;
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

  OpenResult StartLaunchScript(std::function<void(ScriptEnd)> ended) override {
    return launchScript_.Start(std::move(ended));
  }

  OpenResult ShellOpen(const std::wstring& path, ShowCommand show) override {
    return OpenWithUserRights(path, show);
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
    ShowMessage(FailureReportText(code, action));
  }

  // Owned by the program's window, so that the message stays above it and with it, even
  // when it comes while the user works in another program; the window's caption flashes until
  // the user comes back to it, since Windows does not bring the message to the front then.
  void ShowMessage(const std::wstring& text) override {
    const std::wstring caption(kFormCaption);
    const HWND form = ProgramWindow();
    if (form != nullptr && GetForegroundWindow() != form) {
      FLASHWINFO flash{sizeof(flash), form, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
      FlashWindowEx(&flash);
    }
    MessageBoxW(form, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
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
  LaunchScriptRunner launchScript_;
};

}  // namespace

SystemActions& WindowsSystemActions() {
  static RealSystemActions actions;
  return actions;
}

}  // namespace addmorvane
