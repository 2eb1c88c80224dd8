// A probe, run by hand, of the desktop shell's answers against short bounds: for each bound
// from 0 to 100 ms in 2 ms steps it opens a script that leaves a marker of its own, then counts
// how the requests were reported against which scripts ran. A request reported as failed
// whose script ran would be a launch the user was told had not happened.
#include <windows.h>

#include <cstdio>
#include <string>

#include "launch/win32/desktop_shell.h"

namespace {

std::wstring Numbered(const wchar_t* stem, int number, const wchar_t* extension) {
  return L"C:\\" + std::wstring(stem) + std::to_wstring(number) + extension;
}

bool WriteText(const std::wstring& path, const std::string& text) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain() {
  using addmorvane::ShellOutcome;
  constexpr int kRequests = 51;
  ShellOutcome outcomes[kRequests];
  for (int i = 0; i < kRequests; ++i) {
    const std::wstring marker = Numbered(L"shell-probe-", i, L".txt");
    DeleteFileW(marker.c_str());
    const std::string markerAnsi(marker.begin(), marker.end());
    if (!WriteText(Numbered(L"shell-probe-", i, L".bat"), "@echo ran> " + markerAnsi + "\r\n")) {
      std::fprintf(stderr, "cannot write the probe's scripts to C:\\\n");
      return 1;
    }
    outcomes[i] = addmorvane::OpenThroughDesktopShell(
                      Numbered(L"shell-probe-", i, L".bat"), SW_HIDE, [] { return std::wstring(); },
                      2UL * static_cast<unsigned long>(i))
                      .outcome;
  }
  // Late starts get their time: the last request's script runs within a few seconds.
  Sleep(10000);
  int count[5][2] = {};
  for (int i = 0; i < kRequests; ++i) {
    const bool ran = Exists(Numbered(L"shell-probe-", i, L".txt"));
    ++count[static_cast<int>(outcomes[i])][ran ? 1 : 0];
    std::printf("%3d ms: outcome %d, script %s\n", 2 * i, static_cast<int>(outcomes[i]),
                ran ? "ran" : "did not run");
  }
  const char* names[] = {"opened", "failed", "not confirmed", "refused", "no shell"};
  for (int o = 0; o < 5; ++o) {
    std::printf("%-13s: %2d ran, %2d did not run\n", names[o], count[o][1], count[o][0]);
  }
  std::printf("reported as failed although the script ran: %d\n", count[1][1]);
  return count[1][1] == 0 ? 0 : 2;
}
