#include "launch/launch_actions.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/executable_folder.h"
#include "platform/error_text.h"
#include "runscript/vocabulary.h"

namespace addmorvane {
namespace {

// The shell reports failures with its own small numbers; most are system error numbers,
// the rest are mapped to the nearest one so that the user reads the system's own words.
unsigned long SystemErrorFromShell(std::intptr_t result) {
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

}  // namespace

bool OpenLaunchScript(SystemActions& actions) {
  const std::wstring script(kLaunchScriptPath);
  const std::intptr_t result = actions.ShellOpen(script, ShowCommand::Hidden);
  if (result > 32) {
    return true;
  }
  actions.ShowMessage(
      FailureReportText(SystemErrorFromShell(result), L"Не удалось запустить " + script + L"."));
  return false;
}

void RequestRestart(SystemActions& actions) {
  actions.RequestRestart();
}

std::wstring HelpFilePath(std::wstring_view executableFolder) {
  return std::wstring(executableFolder) + L"\\Help.hlp";
}

void OpenHelp(SystemActions& actions) {
  actions.ShellOpen(HelpFilePath(ExecutableFolder()), ShowCommand::Maximized);
}

}  // namespace addmorvane
