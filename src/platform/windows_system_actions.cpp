#include <windows.h>
#include <shellapi.h>

#include "app/layout.h"
#include "platform/restart.h"
#include "platform/system_actions.h"

namespace addmorvane {
namespace {

class RealSystemActions final : public SystemActions {
 public:
  std::intptr_t ShellOpen(const std::wstring& path, ShowCommand show) override {
    const int showCommand = show == ShowCommand::Hidden ? SW_HIDE : SW_SHOWMAXIMIZED;
    return reinterpret_cast<std::intptr_t>(
        ShellExecuteW(nullptr, L"open", path.c_str(), L"", L"", showCommand));
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
