#include "launch/launch_actions.h"

#include <utility>

#include "base/join.h"
#include "launch/restart_timing.h"
#include "launch/script_start.h"
#include "runscript/vocabulary.h"

namespace addmorvane {
namespace {

constexpr unsigned long kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
constexpr unsigned long kPathNotFound = 3;  // ERROR_PATH_NOT_FOUND

}  // namespace

bool StartLaunchScript(SystemActions& actions, std::function<void(ScriptEnd)> ended) {
  const OpenResult result = actions.StartLaunchScript(std::move(ended));
  if (result.opened()) {
    return true;
  }
  if (!result.refusal.empty()) {
    actions.ShowMessage(result.refusal);
  } else {
    actions.ReportFailure(result.error, Join({L"Не удалось запустить ", kLaunchScriptPath, L"."}));
  }
  return false;
}

std::wstring ScriptExitText(unsigned long exitCode) {
  return Join({L"Файл ", kLaunchScriptPath, L" завершился с кодом ", ExitCodeText(exitCode),
               L". Перезагрузка не назначена."});
}

void ReportScriptEnd(SystemActions& actions, ScriptEnd end) {
  if (end.error != 0) {
    actions.ReportFailure(end.error, Join({L"Не удалось узнать, как завершился файл ",
                                           kLaunchScriptPath, L". Перезагрузка не назначена."}));
  } else if (end.exitCode != 0) {
    actions.ShowMessage(ScriptExitText(end.exitCode));
  }
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
  return Join({executableFolder, L"\\Help.hlp"});
}

std::wstring ReadmePath(std::wstring_view executableFolder) {
  return Join({executableFolder, L"\\README.txt"});
}

std::wstring HelpByHandText(std::wstring_view file) {
  return Join({kHelpByHandText, file});
}

void OpenHelp(SystemActions& actions) {
  const std::wstring folder = actions.ExecutableFolder();
  for (const std::wstring& file : {HelpFilePath(folder), ReadmePath(folder)}) {
    const OpenResult result = actions.ShellOpen(file, ShowCommand::Maximized);
    if (result.error == kFileNotFound || result.error == kPathNotFound) {
      continue;
    }
    if (!result.refusal.empty()) {
      actions.ShowMessage(result.refusal);
    } else if (result.byHand) {
      actions.ShowMessage(HelpByHandText(file));
    } else if (result.error != 0) {
      actions.ReportFailure(result.error, Join({L"Не удалось открыть файл ", file, L"."}));
    }
    return;
  }
  actions.ShowMessage(std::wstring(kHelpMissingText));
}

}  // namespace addmorvane
