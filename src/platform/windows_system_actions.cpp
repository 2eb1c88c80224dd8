#include <windows.h>

#include "app/layout.h"
#include "platform/restart.h"
#include "platform/system_actions.h"
#include "platform/user_rights_open.h"

namespace addmorvane {
namespace {

class RealSystemActions final : public SystemActions {
 public:
  OpenResult ShellOpen(const std::wstring& path, ShowCommand show) override {
    return OpenWithUserRights(path, show);
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
