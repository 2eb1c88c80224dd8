#include "platform/restart.h"

#include <windows.h>

namespace addmorvane {
namespace {

DWORD EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return GetLastError();
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  // Either call's failure; or, when the adjustment succeeds, ERROR_NOT_ALL_ASSIGNED where the
  // account lacks the privilege.
  const DWORD error = GetLastError();
  CloseHandle(token);
  return error;
}

}  // namespace

unsigned long RequestSystemRestart() {
  const DWORD privilegeError = EnableShutdownPrivilege();
  constexpr DWORD kPlannedMaintenance =
      SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_MAINTENANCE | SHTDN_REASON_FLAG_PLANNED;
  if (ExitWindowsEx(EWX_REBOOT, kPlannedMaintenance)) {
    return ERROR_SUCCESS;
  }
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : privilegeError;
}

}  // namespace addmorvane
