// Starting what lies outside the program: the launch script, the restart, the help file.
#pragma once

#include <string>
#include <string_view>

#include "platform/system_actions.h"

namespace addmorvane {

// Opens the launch script hidden. When it could not be started at all, or the program
// refused to hand it its rights, tells the user why, naming the script, and returns false;
// what the script does once started is not watched.
bool OpenLaunchScript(SystemActions& actions);

// One restart request; a request that Windows refuses is simply made again next time.
void RequestRestart(SystemActions& actions);

// "<folder>\Help.hlp", where `folder` has no trailing separator.
std::wstring HelpFilePath(std::wstring_view executableFolder);

// Opens the help file beside the program, maximised. A missing help file is the shell's
// business: the program itself says nothing and changes nothing. A help file that the
// program refuses to open is reported.
void OpenHelp(SystemActions& actions);

}  // namespace addmorvane
