#include "launch/launch_actions.h"

#include "launch/restart_timing.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

bool OpenLaunchScript(SystemActions& actions, bool restartArmed) {
  const std::wstring script(kLaunchScriptPath);
  const OpenResult result = actions.ShellOpen(script, ShowCommand::Hidden);
  if (result.opened()) {
    return true;
  }
  if (result.unconfirmed) {
    std::wstring message = L"Оболочка Windows не ответила вовремя, и неизвестно, запущен ли файл ";
    message += script;
    message += L": он может ещё запуститься. ";
    message += restartArmed ? kEarlierRestartGoesOnText : L"Перезагрузка не назначена.";
    actions.ShowMessage(message);
  } else if (!result.refusal.empty()) {
    actions.ShowMessage(result.refusal);
  } else {
    actions.ReportFailure(result.error, L"Не удалось запустить " + script + L".");
  }
  return false;
}

unsigned long RequestRestart(SystemActions& actions) {
  return actions.RequestRestart();
}

bool IsRestartRefusal(unsigned long error) {
  constexpr unsigned long kAccessDenied = 5;
  constexpr unsigned long kNoSuchPrivilege = 1300;  // ERROR_NOT_ALL_ASSIGNED
  constexpr unsigned long kPrivilegeNotHeld = 1314;
  return error == kAccessDenied || error == kNoSuchPrivilege || error == kPrivilegeNotHeld;
}

void ReportRestartRefusal(SystemActions& actions, unsigned long error) {
  actions.ReportFailure(error, std::wstring(kRestartRefusedText));
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
