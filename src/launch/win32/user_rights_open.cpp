#include "launch/win32/user_rights_open.h"

#include <windows.h>

#include "launch/file_trust.h"
#include "launch/trust_refusal.h"
#include "platform/error_text.h"
#include "launch/win32/desktop_shell.h"
#include "launch/win32/file_security.h"

namespace addmorvane {
namespace {

// How long the window's thread waits for a shell, whichever way it is reached, in one press;
// a shell answers in well under a second, and one that takes longer is left to answer alone
// rather than leave the window frozen.
constexpr unsigned long kShellAnswerMs = 5000;

// "C:\morvane1.bat" lies in "C:\" (a root keeps its separator); "C:\x\Help.hlp" in "C:\x".
std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) {
    return L".";
  }
  if (slash == 2 && path[1] == L':') {
    return path.substr(0, 3);
  }
  return path.substr(0, slash);
}

// Empty when the file and its folder are safe to open with full rights; otherwise what the
// user is told instead.
std::wstring WhyNotTrusted(const std::wstring& path) {
  const std::wstring user = CurrentUserSid();
  const std::wstring folder = FolderOf(path);
  const struct {
    const std::wstring& judged;
    Guarded guarded;
  } targets[] = {{path, Guarded::File}, {folder, Guarded::Folder}};
  for (const auto& target : targets) {
    SecuritySummary summary;
    if (const unsigned long error = ReadFileSecurity(target.judged, summary); error != 0) {
      return FailureReportText(
          error, L"Файл " + path +
                     L" не открыт: программа работает с правами администратора и не смогла "
                     L"проверить, кто может изменить " +
                     (target.guarded == Guarded::File ? L"этот файл." : L"папку " + folder + L"."));
    }
    const TrustVerdict verdict = JudgeForFullRights(summary, user, target.guarded);
    if (!verdict.safe()) {
      const std::wstring principal =
          verdict.principal.empty() ? std::wstring() : AccountName(verdict.principal);
      return RefusalText(path, target.judged, target.guarded, verdict, principal);
    }
  }
  return {};
}

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
  const TrustCheck whyNotTrusted = [path] { return WhyNotTrusted(path); };
  const ULONGLONG start = GetTickCount64();
  ShellReport report;
  // Without a desktop shell, asking for one could only wait, or start a shell server.
  if (desktopShellRuns()) {
    report = OpenThroughDesktopShell(path, showCommand, whyNotTrusted, kShellAnswerMs);
  }
  if (report.outcome == ShellOutcome::NoShell) {
    // A desktop shell that was found missing late leaves the shell's own call what remains.
    const unsigned long left = BoundLeft(kShellAnswerMs, GetTickCount64() - start);
    report = left == 0 ? ShellReport{ShellOutcome::Failed, kShellTimeoutError, {}}
                       : OpenThroughShellCall(path, showCommand, whyNotTrusted, left);
  }
  switch (report.outcome) {
    case ShellOutcome::Opened:
      return {};
    case ShellOutcome::Unconfirmed:
      return {0, {}, true};
    case ShellOutcome::Refused:
      return {0, report.refusal};
    case ShellOutcome::Failed:
    case ShellOutcome::NoShell:
      break;
  }
  return {report.error != 0 ? report.error : static_cast<unsigned long>(ERROR_NO_ASSOCIATION), {}};
}

}  // namespace addmorvane
