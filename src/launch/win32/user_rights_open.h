// Opening a file for the user without handing it the program's administrator rights.
#pragma once

#include <string>

#include "launch/win32/desktop_shell.h"
#include "base/system_actions.h"

namespace addmorvane {

using DesktopShellCheck = bool (*)();

// Opens an existing file through the user's desktop shell, so that it runs with the rights of
// whoever sits at the desk, never with the program's own. Where that shell runs with full
// rights (the desk's user has them too), the file is opened only if nobody but the system and
// the administrators can change it or its folder; otherwise the result carries the refusal.
// Where there is no desktop shell (as `desktopShellRuns` tells), or it cannot be reached,
// nothing is opened and the result says so. A shell that took the request and did not answer
// in time leaves it unconfirmed.
OpenResult OpenWithUserRights(const std::wstring& path,
                              ShowCommand show,
                              DesktopShellCheck desktopShellRuns = DesktopShellRuns);

}  // namespace addmorvane
