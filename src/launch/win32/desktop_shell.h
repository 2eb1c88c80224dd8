// Asking a shell to open a file on a thread of its own, bounded, with one true answer: through
// the desktop's shell, so that the file starts with the user's own rights, or through the
// shell's own call where the desktop has no shell.
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

// The shell's own call in this process, for a desktop without a shell: on a single-threaded
// apartment of its own, as the call requires, and only for a file `whyNotTrusted` accepts.
ShellReport OpenThroughShellCall(const std::wstring& path,
                                 int showCommand,
                                 TrustCheck whyNotTrusted,
                                 unsigned long timeoutMs);

}  // namespace addmorvane
