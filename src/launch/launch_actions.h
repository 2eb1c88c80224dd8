// Starting what lies outside the program: the launch script, the restart, the help file.
#pragma once

#include <string>
#include <string_view>

#include "platform/system_actions.h"

namespace addmorvane {

// Opens the launch script hidden. When it certainly did not start, when the program refused
// to hand it its rights, or when the shell did not answer in time (it may still start), tells
// the user so, naming the script and whether an earlier press's restart requests go on
// (`restartArmed`), and returns false; what the script does once started is not watched.
bool OpenLaunchScript(SystemActions& actions, bool restartArmed);

// One restart request; returns the system's error number, 0 when it was accepted.
unsigned long RequestRestart(SystemActions& actions);

// Whether `error` says that Windows will never restart at this program's request (the right
// to shut down is missing), rather than that a restart is already under way or planned.
bool IsRestartRefusal(unsigned long error);

// Tells the user that Windows refused the restart with `error`, and that the program keeps
// asking.
void ReportRestartRefusal(SystemActions& actions, unsigned long error);

// "<folder>\Help.hlp", where `folder` has no trailing separator.
std::wstring HelpFilePath(std::wstring_view executableFolder);

// Opens the help file beside the program, maximised. A missing help file is the shell's
// business: the program itself says nothing and changes nothing. A help file that the
// program refuses to open is reported.
void OpenHelp(SystemActions& actions);

}  // namespace addmorvane
