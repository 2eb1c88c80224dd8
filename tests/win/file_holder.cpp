#include "file_holder.h"

namespace addmorvane::wintest {
namespace {

std::wstring HolderPath() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring self(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of(L'\\')) + L"\\file_holder.exe";
}

HANDLE InheritableEvent() {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  return CreateEventW(&inherit, TRUE, FALSE, nullptr);
}

}  // namespace

::testing::AssertionResult FileHolder::Hold(const std::wstring& path,
                                            DWORD access,
                                            DWORD share,
                                            DWORD disposition) {
  Release();
  ready_ = InheritableEvent();
  release_ = InheritableEvent();
  const std::wstring exe = HolderPath();
  std::wstring commandLine = L"\"" + exe + L"\" \"" + path + L"\" " + std::to_wstring(access) +
                             L" " + std::to_wstring(share) + L" " + std::to_wstring(disposition) +
                             L" " + std::to_wstring(reinterpret_cast<UINT_PTR>(ready_)) + L" " +
                             std::to_wstring(reinterpret_cast<UINT_PTR>(release_));
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &info)) {
    return ::testing::AssertionFailure() << "cannot start "
                                         << "file_holder.exe: " << GetLastError();
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  const HANDLE either[] = {ready_, process_};
  if (WaitForMultipleObjects(2, either, FALSE, 15000) != WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    Release();
    return ::testing::AssertionFailure() << "the holder could not open the file: " << code;
  }
  return ::testing::AssertionSuccess();
}

void FileHolder::Release() {
  if (process_ != nullptr) {
    SetEvent(release_);
    if (WaitForSingleObject(process_, 15000) != WAIT_OBJECT_0) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 15000);
    }
    CloseHandle(process_);
    process_ = nullptr;
  }
  for (HANDLE* event : {&ready_, &release_}) {
    if (*event != nullptr) {
      CloseHandle(*event);
      *event = nullptr;
    }
  }
}

}  // namespace addmorvane::wintest
