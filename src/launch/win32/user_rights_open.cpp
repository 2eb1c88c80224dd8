#include "launch/win32/user_rights_open.h"

#include <windows.h>

#include "launch/win32/desktop_shell.h"
#include "launch/win32/trust_check.h"

namespace addmorvane {
namespace {

// How long the window's thread waits for a shell, whichever way it is reached, in one press;
// a shell answers in well under a second, and one that takes longer is left to answer alone
// rather than leave the window frozen.
constexpr unsigned long kShellAnswerMs = 5000;

}  // namespace

OpenResult OpenWithUserRights(const std::wstring& path,
                              ShowCommand show,
                              DesktopShellCheck desktopShellRuns) {
  // The desktop's shell may answer a missing file with success, or with a window of its own.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return {error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND, {}};
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {ERROR_FILE_NOT_FOUND, {}};
  }
  const int showCommand = show == ShowCommand::Hidden ? SW_HIDE : SW_SHOWMAXIMIZED;
  const TrustCheck whyNotTrusted = [path] { return WhyNotTrusted(path, Remedy::Restrict); };
  // Never the shell's own call in this process: whatever it starts would run with the
  // program's rights, and a viewer's "Open" dialog can start anything. Without a desktop shell,
  // asking for one could only wait, or start a shell server with those rights.
  if (!desktopShellRuns()) {
    return {0, {}, false, true};
  }
  const ShellReport report =
      OpenThroughDesktopShell(path, showCommand, whyNotTrusted, kShellAnswerMs);
  switch (report.outcome) {
    case ShellOutcome::Opened:
      return {};
    case ShellOutcome::Unconfirmed:
      return {0, {}, true};
    case ShellOutcome::Refused:
      return {0, report.refusal};
    case ShellOutcome::NoShell:
      return {0, {}, false, true};
    case ShellOutcome::Failed:
      break;
  }
  return {report.error != 0 ? report.error : static_cast<unsigned long>(ERROR_NO_ASSOCIATION), {}};
}

}  // namespace addmorvane
