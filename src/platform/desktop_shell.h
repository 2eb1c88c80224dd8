// Opening a file through the shell that the user runs on the desktop, so that it starts
// with the user's own rights rather than the program's.
#pragma once

#include <string>

namespace addmorvane {

enum class ShellOutcome {
  Opened,   // the desktop's shell accepted the file
  Failed,   // it did not, or did not answer in time; `error` says why
  Refused,  // the shell runs with full rights and the caller did not allow that
  NoShell,  // there is no desktop shell to ask
};

struct ShellReport {
  ShellOutcome outcome = ShellOutcome::NoShell;
  unsigned long error = 0;
};

// Asks the desktop's shell to open `path` with the verb "open", no parameters and no working
// folder, shown as `showCommand`. A shell that runs with full rights (elevated, or rights
// that cannot be told) is used only when `fullRightsAllowed`. The calling thread waits
// without handling its window messages, so no other handler runs meanwhile, and for at most
// `timeoutMs`: a shell that does not answer by then counts as a failure (ERROR_TIMEOUT).
ShellReport OpenThroughDesktopShell(const std::wstring& path,
                                    int showCommand,
                                    bool fullRightsAllowed,
                                    unsigned long timeoutMs);

}  // namespace addmorvane
