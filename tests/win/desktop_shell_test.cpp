// Opening through the desktop's shell, against Wine's real shell. Wine runs every process
// with full rights, its desktop shell too, so here the shell is one that needs leave.
#include "harness.h"

#include <cstdio>
#include <string>

#include "launch/win32/desktop_shell.h"
#include "launch/win32/user_rights_open.h"

namespace addmorvane::wintest {
namespace {

// One script per test: the command interpreter may still hold the last one's.
const std::wstring kScript = L"C:\\desktop-shell-test.bat";
const std::wstring kOtherScript = L"C:\\desktop-shell-test-2.bat";
const std::wstring kMarker = L"C:\\desktop-shell-marker.txt";
const TrustCheck kTrusted = [] { return std::wstring(); };

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits until `path` in C:\ exists, woken by the folder's change notifications.
bool WaitForFileInRoot(const std::wstring& path, DWORD timeoutMs) {
  const HANDLE change = FindFirstChangeNotificationW(L"C:\\", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (change == INVALID_HANDLE_VALUE) {
    return false;
  }
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  bool found = Exists(path);
  for (ULONGLONG now = GetTickCount64(); !found && now < deadline; now = GetTickCount64()) {
    WaitForSingleObject(change, static_cast<DWORD>(deadline - now));
    FindNextChangeNotification(change);
    found = Exists(path);
  }
  FindCloseChangeNotification(change);
  return found;
}

class DesktopShellTest : public ::testing::Test {
 protected:
  void TearDown() override {
    // The command interpreter may still hold the script a moment after the marker appeared.
    const ULONGLONG deadline = GetTickCount64() + 5000;
    for (const std::wstring& script : {kScript, kOtherScript}) {
      while (!DeleteFileW(script.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
             GetTickCount64() < deadline) {
        Sleep(20);
      }
    }
    DeleteFileW(kMarker.c_str());
  }
};

TEST_F(DesktopShellTest, ShellWithFullRightsIsUsedOnlyWithLeave) {
  DeleteFileW(kMarker.c_str());
  WriteFileBytes(kScript, "@echo ran> C:\\desktop-shell-marker.txt\r\n");
  const ShellReport refused = OpenThroughDesktopShell(
      kScript, SW_HIDE, [] { return std::wstring(L"refused"); }, 5000);
  EXPECT_EQ(refused.outcome, ShellOutcome::Refused);
  EXPECT_EQ(refused.refusal, L"refused");

  const ULONGLONG start = GetTickCount64();
  const ShellReport opened = OpenThroughDesktopShell(kScript, SW_HIDE, kTrusted, 5000);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_EQ(opened.outcome, ShellOutcome::Opened) << opened.error;
  EXPECT_TRUE(WaitForFileInRoot(kMarker, 5000)) << "the shell did not run the script";
  std::printf("the desktop's shell took %llu ms to accept the file\n", took);
}

TEST_F(DesktopShellTest, MissingFileAndLateShellAreFailures) {
  // Wine's shell answers a missing file with S_FALSE, a success code.
  const ShellReport missing =
      OpenThroughDesktopShell(L"C:\\no-such-script-here.bat", SW_HIDE, kTrusted, 5000);
  EXPECT_EQ(missing.outcome, ShellOutcome::Failed);
  EXPECT_NE(missing.error, 0u);

  // No shell answers within no time at all: the caller stops waiting and is told so.
  const ShellReport late =
      OpenThroughDesktopShell(L"C:\\no-such-script-here.bat", SW_HIDE, kTrusted, 0);
  EXPECT_EQ(late.outcome, ShellOutcome::Failed);
  EXPECT_EQ(late.error, static_cast<unsigned long>(ERROR_TIMEOUT));
}

// Under Wine the desktop has no shell window although its shell answers, so both cases can be
// made here: the desktop's shell opens the file; without one nothing opens it, the program's own
// rights least of all.
TEST_F(DesktopShellTest, UserRightsOpenTakesTheDesktopShellOrLeavesTheFileToTheUser) {
  const struct {
    const wchar_t* script;
    DesktopShellCheck desktopShellRuns;
  } routes[] = {{kOtherScript.c_str(), [] { return false; }},
                {kScript.c_str(), [] { return true; }}};
  for (const auto& route : routes) {
    SCOPED_TRACE(route.desktopShellRuns() ? "desktop shell" : "shell call");
    DeleteFileW(kMarker.c_str());
    WriteFileBytes(route.script, "@echo ran> C:\\desktop-shell-marker.txt\r\n");
    const bool shell = route.desktopShellRuns();
    const OpenResult result =
        OpenWithUserRights(route.script, ShowCommand::Hidden, route.desktopShellRuns);
    EXPECT_EQ(result.opened(), shell) << result.error;
    EXPECT_EQ(result.byHand, !shell);
    // Where the script started, its marker comes within this time (Wine's shell: well under 1 s).
    EXPECT_EQ(WaitForFileInRoot(kMarker, shell ? 5000 : 1000), shell);
  }
}

int handledByWindow = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ++handledByWindow;
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI SendAppMessage(void* window) {
  SendMessageW(static_cast<HWND>(window), WM_APP, 0, 0);
  return 0;
}

TEST_F(DesktopShellTest, WindowThreadHandlesNothingWhileItWaits) {
  DeleteFileW(kMarker.c_str());
  WriteFileBytes(kOtherScript, "@echo ran> C:\\desktop-shell-marker.txt\r\n");
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"DesktopShellTestCounter";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  handledByWindow = 0;
  // One message posted and one sent from another thread, both waiting when the call begins:
  // a wait that handled either would run a handler nested inside the caller's.
  PostMessageW(window, WM_APP, 0, 0);
  const HANDLE sender = CreateThread(nullptr, 0, SendAppMessage, window, 0, nullptr);
  ASSERT_NE(sender, nullptr);
  while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0) {
    SwitchToThread();
  }

  const ShellReport opened = OpenThroughDesktopShell(kOtherScript, SW_HIDE, kTrusted, 5000);
  EXPECT_EQ(opened.outcome, ShellOutcome::Opened) << opened.error;
  EXPECT_EQ(handledByWindow, 0);

  EXPECT_TRUE(PumpUntil(nullptr, [] { return handledByWindow == 2; }));
  WaitForSingleObject(sender, INFINITE);
  CloseHandle(sender);
  DestroyWindow(window);
  EXPECT_TRUE(WaitForFileInRoot(kMarker, 5000));
}

}  // namespace
}  // namespace addmorvane::wintest
