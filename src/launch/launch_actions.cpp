#include "launch/launch_actions.h"

#include "runscript/vocabulary.h"

namespace addmorvane {

bool OpenLaunchScript(SystemActions& actions) {
  const std::wstring script(kLaunchScriptPath);
  const unsigned long error = actions.ShellOpen(script, ShowCommand::Hidden);
  if (error == 0) {
    return true;
  }
  actions.ReportFailure(error, L"Не удалось запустить " + script + L".");
  return false;
}

void RequestRestart(SystemActions& actions) {
  actions.RequestRestart();
}

std::wstring HelpFilePath(std::wstring_view executableFolder) {
  return std::wstring(executableFolder) + L"\\Help.hlp";
}

void OpenHelp(SystemActions& actions) {
  actions.ShellOpen(HelpFilePath(actions.ExecutableFolder()), ShowCommand::Maximized);
}

}  // namespace addmorvane
