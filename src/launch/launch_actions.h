// Starting what lies outside the program: the launch script, the restart, the help file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/system_actions.h"

namespace addmorvane {

// Starts the launch script; `ended` is told how it ended. When it did not start, or the
// program refused to hand it its rights, tells the user so and returns false.
bool StartLaunchScript(SystemActions& actions, std::function<void(ScriptEnd)> ended);

// What the user is told when the launch script ended otherwise than with exit code 0, or when
// the program could not learn how it ended; nothing for a clean end.
void ReportScriptEnd(SystemActions& actions, ScriptEnd end);

// The message for a launch script that ended with a code other than 0.
std::wstring ScriptExitText(unsigned long exitCode);

// "выполнить" pressed while the launch script still runs, before the time limit.
inline constexpr std::wstring_view kScriptStillRunningText =
    L"Файл C:\\morvane1.bat ещё выполняется. Перезагрузка будет запрошена, когда он успешно "
    L"завершится.";

// "выполнить" pressed while another copy of the program runs the launch script.
inline constexpr std::wstring_view kScriptRunsInAnotherCopyText =
    L"Файл C:\\morvane1.bat уже выполняется: его запустила другая копия программы. Дождитесь, "
    L"пока он завершится.";

// "выполнить" pressed after the program lost sight of a script that still runs.
inline constexpr std::wstring_view kScriptStillRunsUnwatchedText =
    L"Файл C:\\morvane1.bat ещё выполняется. Снова его можно будет запустить, когда он "
    L"завершится.";

// One restart request; returns the system's error number, 0 when it was accepted.
unsigned long RequestRestart(SystemActions& actions);

// Whether `error` says that Windows will never restart at this program's request (the right
// to shut down is missing), rather than that a restart is already under way or planned.
bool IsRestartRefusal(unsigned long error);

// Tells the user that Windows refused the restart with `error`, and that the program keeps
// asking.
void ReportRestartRefusal(SystemActions& actions, unsigned long error);

// "<folder>\Help.hlp" and "<folder>\README.txt", where `folder` has no trailing separator.
std::wstring HelpFilePath(std::wstring_view executableFolder);
std::wstring ReadmePath(std::wstring_view executableFolder);

inline constexpr std::wstring_view kHelpMissingText =
    L"Файл справки Help.hlp не найден в папке программы.";

// Where no shell with the desk's own rights answers: the file is never opened with the
// program's, and the user is given its full path instead.
inline constexpr std::wstring_view kHelpByHandText =
    L"Справка не открыта: программа работает с правами администратора и открывает файлы только "
    L"через Проводник с правами пользователя, а он не ответил. Откройте файл сами:\n\n";
std::wstring HelpByHandText(std::wstring_view file);

// Opens the help file beside the program, maximised, or the readme that ships beside it where
// there is no help file; says so when neither is there, and says why when it could not open
// one. A request the shell took without answering in time is left unsaid: the file may still
// open.
void OpenHelp(SystemActions& actions);

}  // namespace addmorvane
