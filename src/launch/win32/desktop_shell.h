// Asking the desktop's shell to open a file on a thread of its own, bounded, with one true
// answer, so that the file starts with the rights of whoever sits at the desk.
#pragma once

#include <functional>
#include <string>

#include "launch/shell_request.h"

namespace addmorvane {

// Whether the program may hand the file its full rights: empty when it may, otherwise the
// whole message the user is told instead. Called on the worker, and only where its verdict
// is used, since it may look up account names.
using TrustCheck = std::function<std::wstring()>;

// Whether the desktop has a shell at all (the documented test: it has a shell window).
bool DesktopShellRuns();

// Asks the desktop's shell to open `path` with the verb "open", no parameters and no working
// folder, shown as `showCommand`. A shell that runs with full rights (elevated, or rights that
// cannot be told) is used only when `whyNotTrusted` finds nothing against the file. NoShell
// when the desktop's shell cannot be reached.
ShellReport OpenThroughDesktopShell(const std::wstring& path,
                                    int showCommand,
                                    TrustCheck whyNotTrusted,
                                    unsigned long timeoutMs);

}  // namespace addmorvane
