// Opening a file for the user without handing it the program's administrator rights.
#pragma once

#include <string>

#include "launch/win32/desktop_shell.h"
#include "base/system_actions.h"

namespace addmorvane {

using DesktopShellCheck = bool (*)();

// Opens an existing file through the user's desktop shell, so that it runs with the user's
// own rights. Where that shell runs with full rights, or there is none (as
// `desktopShellRuns` tells), the file is opened only if nobody but the system, the
// administrators and this user can change it or its folder; otherwise the result carries the
// refusal. A shell that took the request and did not answer in time leaves it unconfirmed.
OpenResult OpenWithUserRights(const std::wstring& path,
                              ShowCommand show,
                              DesktopShellCheck desktopShellRuns = DesktopShellRuns);

}  // namespace addmorvane
