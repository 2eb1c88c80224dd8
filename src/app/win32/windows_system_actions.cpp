#include <windows.h>

#include "app/win32/windows_system_actions.h"

#include "app/captions.h"
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

  void ShowMessage(const std::wstring& text) override {
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
  LaunchScriptRunner launchScript_;
};

}  // namespace

SystemActions& WindowsSystemActions() {
  static RealSystemActions actions;
  return actions;
}

}  // namespace addmorvane
