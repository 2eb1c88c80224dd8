#include "launch/win32/user_rights_open.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "launch/file_trust.h"
#include "launch/trust_refusal.h"
#include "platform/desktop_shell.h"
#include "platform/error_text.h"
#include "launch/win32/file_security.h"

namespace addmorvane {
namespace {

// How long the window's thread waits for the desktop's shell, which answers in well under a
// second; one that takes longer is taken for hung rather than leave the window frozen.
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

// Our own shell call, for when the desktop has no shell to ask. It is bound when first
// needed, from the system folder only, so no DLL planted beside the program is loaded.
using ShellExecuteFn =
    HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, int);

ShellExecuteFn BindShellExecute() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return nullptr;
  }
  const std::wstring path = std::wstring(folder, length) + L"\\shell32.dll";
  HMODULE shell = LoadLibraryW(path.c_str());
  if (shell == nullptr) {
    return nullptr;
  }
  return reinterpret_cast<ShellExecuteFn>(
      reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
}

// The shell reports failures with its own small numbers; most are system error numbers,
// the rest are mapped to the nearest one so that the user reads the system's own words.
unsigned long SystemErrorFromShell(std::intptr_t result) {
  switch (result) {
    case 0:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE:
      return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
      return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
      return ERROR_DLL_NOT_FOUND;
    default:
      return static_cast<unsigned long>(result);
  }
}

OpenResult OpenOurselves(const std::wstring& path, int showCommand) {
  static const ShellExecuteFn shellExecute = BindShellExecute();
  if (shellExecute == nullptr) {
    return {ERROR_DLL_NOT_FOUND, {}};
  }
  const auto result = reinterpret_cast<std::intptr_t>(
      shellExecute(nullptr, L"open", path.c_str(), L"", L"", showCommand));
  if (result > 32) {
    return {};
  }
  return {SystemErrorFromShell(result), {}};
}

}  // namespace

OpenResult OpenWithUserRights(const std::wstring& path, ShowCommand show) {
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
  const std::wstring distrust = WhyNotTrusted(path);
  const ShellReport report =
      OpenThroughDesktopShell(path, showCommand, distrust.empty(), kShellAnswerMs);
  switch (report.outcome) {
    case ShellOutcome::Opened:
      return {};
    case ShellOutcome::Failed:
      return {report.error, {}};
    case ShellOutcome::Refused:
      return {0, distrust};
    case ShellOutcome::NoShell:
      break;
  }
  if (!distrust.empty()) {
    return {0, distrust};
  }
  return OpenOurselves(path, showCommand);
}

}  // namespace addmorvane
