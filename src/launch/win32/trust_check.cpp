#include "launch/win32/trust_check.h"

#include <windows.h>

#include "base/join.h"
#include "launch/file_trust.h"
#include "launch/trust_refusal.h"
#include "launch/win32/file_security.h"
#include "platform/error_text.h"

namespace addmorvane {
namespace {

constexpr std::wstring_view kNotChecked =
    L" не открыт: программа работает с правами администратора и не смогла проверить, кто может "
    L"изменить ";

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

// Under Wine every program of the account runs with all its rights and Windows' rights levels do
// not exist; files carry the account as owner whatever a program sets. There the account is
// trusted as the system is. Windows' ntdll, a known DLL, never has this entry.
std::wstring SameRightsUser() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr ? CurrentUserSid()
                                                                                  : std::wstring();
}

}  // namespace

std::wstring WhyNotTrusted(const std::wstring& path, Remedy remedy) {
  const std::wstring user = SameRightsUser();
  const std::wstring folder = FolderOf(path);
  const struct {
    const std::wstring& judged;
    Guarded guarded;
  } targets[] = {{path, Guarded::File}, {folder, Guarded::Folder}};
  for (const auto& target : targets) {
    SecuritySummary summary;
    if (const unsigned long error = ReadFileSecurity(target.judged, summary); error != 0) {
      const bool file = target.guarded == Guarded::File;
      return FailureReportText(error,
                               Join({L"Файл ", path, kNotChecked, file ? L"этот файл" : L"папку ",
                                     file ? L"" : folder, L"."}));
    }
    const TrustVerdict verdict = JudgeForFullRights(summary, user, target.guarded);
    if (!verdict.safe()) {
      const std::wstring principal =
          verdict.principal.empty() ? std::wstring() : AccountName(verdict.principal);
      return RefusalText(path, target.judged, target.guarded, verdict, principal, remedy);
    }
  }
  return {};
}

}  // namespace addmorvane
