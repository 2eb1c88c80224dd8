#include "launch/launch_actions.h"

#include "runscript/vocabulary.h"

namespace addmorvane {

bool OpenLaunchScript(SystemActions& actions) {
  const std::wstring script(kLaunchScriptPath);
  const OpenResult result = actions.ShellOpen(script, ShowCommand::Hidden);
  if (result.opened()) {
    return true;
  }
  if (!result.refusal.empty()) {
    actions.ShowMessage(result.refusal);
  } else {
    actions.ReportFailure(result.error, L"Не удалось запустить " + script + L".");
  }
  return false;
}

void RequestRestart(SystemActions& actions) {
  actions.RequestRestart();
}

std::wstring HelpFilePath(std::wstring_view executableFolder) {
  return std::wstring(executableFolder) + L"\\Help.hlp";
}

void OpenHelp(SystemActions& actions) {
  // A help file that is missing or cannot be opened is the shell's business; a refusal is
  // the program's own.
  const OpenResult result =
      actions.ShellOpen(HelpFilePath(actions.ExecutableFolder()), ShowCommand::Maximized);
  if (!result.refusal.empty()) {
    actions.ShowMessage(result.refusal);
  }
}

}  // namespace addmorvane
