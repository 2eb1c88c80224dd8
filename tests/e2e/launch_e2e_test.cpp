// The real program with the real shell and the real restart request, under Wine. Wine carries
// out a restart request by ending the session's windowed programs, the program among them, so
// the restart shows from outside as the program's end; this test program has no window and
// lives on.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app_process.h"
#include "harness.h"

namespace addmorvane::e2e {
namespace {

const std::wstring kRunScript = L"C:\\morvane.bat";
const std::wstring kLaunchScript = L"C:\\morvane1.bat";
const std::wstring kMarker = L"C:\\launch-marker.txt";

void Remove(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

class LaunchE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Remove(kMarker);
    Remove(kLaunchScript);
  }
  void TearDown() override {
    app_.Terminate();
    Remove(kMarker);
    Remove(kLaunchScript);
    if (!copyFolder_.empty()) {
      for (const wchar_t* name : {L"addmorvane.exe", L"Help.hlp", L"README.txt"}) {
        Remove(copyFolder_ + L"\\" + name);
      }
      RemoveDirectoryW(copyFolder_.c_str());
    }
  }
  // Copies the program into a folder of its own, with `companion` (a help file or the
  // readme) beside it where one is named; returns the copy's path.
  std::wstring CopyProgram(const std::wstring& folder, const wchar_t* companion) {
    copyFolder_ = folder;
    CreateDirectoryW(folder.c_str(), nullptr);
    if (companion != nullptr) {
      EXPECT_TRUE(WriteTextFile(folder + L"\\" + companion, "not really a help file"));
    }
    const std::wstring copy = folder + L"\\addmorvane.exe";
    EXPECT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
    return copy;
  }
  // A launch script that leaves a marker, so that its run shows, and then stays a moment, so
  // that a console window of its own would show too.
  void PlaceLaunchScript() {
    ASSERT_TRUE(WriteTextFile(
        kLaunchScript, "@echo ran> C:\\launch-marker.txt\r\n@ping -n 3 127.0.0.1 > nul\r\n"));
  }

  AppProcess app_;
  std::wstring copyFolder_;
};

// Whether Everyone may write to the file or add files to the folder at `path`, as the
// system reports its security.
bool EveryoneMayWrite(const std::wstring& path) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  bool writable = false;
  for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (GetAce(dacl, i, &ace) &&
        static_cast<ACE_HEADER*>(ace)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
      auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
      writable |= EqualSid(&allowed->SidStart, everyone) && (allowed->Mask & FILE_WRITE_DATA) != 0;
    }
  }
  FreeSid(everyone);
  LocalFree(descriptor);
  return writable;
}

// Both copies open centred; a click meant for one must never land on the other, whichever
// Wine happens to raise while the launch script starts.
void MoveOutOfTheWay(const AppProcess& copy) {
  RECT rect{};
  GetWindowRect(copy.window(), &rect);
  SetWindowPos(copy.window(), HWND_BOTTOM, -(rect.right - rect.left) + 40,
               -(rect.bottom - rect.top) + 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

TEST_F(LaunchE2eTest, StartsWithDefaultRunScriptAndEndsByCloseBox) {
  Remove(kRunScript);
  ASSERT_TRUE(app_.Start());
  EXPECT_EQ(wintest::ReadFileBytes(kRunScript), wintest::ScriptFor("C:\\Morvane.com"));
  ASSERT_TRUE(app_.ClickCloseBox());
  ASSERT_TRUE(app_.WaitForExit(5000));
  EXPECT_EQ(app_.ExitCode(), 0u);
}

TEST_F(LaunchE2eTest, RunStartsLaunchScriptHiddenAndRestartEndsProgramsAfterTheInterval) {
  // A second copy of the program, as one more program of the session.
  AppProcess other;
  ASSERT_TRUE(other.Start());
  MoveOutOfTheWay(other);
  PlaceLaunchScript();
  ASSERT_TRUE(app_.Start());
  const std::vector<HWND> shown = VisibleWindows();
  const ULONGLONG pressed = GetTickCount64();
  ASSERT_TRUE(app_.Click(L"выполнить"));
  EXPECT_TRUE(WaitFor([] { return FileExists(kMarker); }, expected::kRestartIntervalMs))
      << "the launch script did not run before the restart was due";
  for (const HWND hwnd : VisibleWindows()) {
    EXPECT_NE(std::find(shown.begin(), shown.end(), hwnd), shown.end())
        << "a window appeared: " << testing::PrintToString(TextOf(hwnd));
  }
  // The press reaches the program a little after `pressed`, so its first tick cannot come
  // earlier than one interval after it, but for timer granularity; the margins are facts.
  const ULONGLONG earliest = expected::kRestartIntervalMs - expected::kRestartEarlyMarginMs;
  const ULONGLONG latest = expected::kRestartIntervalMs + expected::kRestartLateMarginMs;
  const ULONGLONG before = GetTickCount64() - pressed;
  EXPECT_FALSE(app_.WaitForExit(before < earliest ? DWORD(earliest - before) : 0))
      << "ended before the first restart request was due";
  ASSERT_TRUE(app_.WaitForExit(DWORD(latest))) << "the restart request did not end the program";
  const ULONGLONG ended = GetTickCount64() - pressed;
  std::printf("program ended %llu ms after the press\n", ended);
  EXPECT_GE(ended, earliest);
  EXPECT_LE(ended, latest);
  EXPECT_TRUE(other.WaitForExit(3000)) << "the restart did not end the other program";
  // Let Wine's restart of the session finish before anything else runs in it.
  EXPECT_TRUE(WaitFor([] { return ProcessesNamed(L"wineboot.exe").empty(); }, 60000));
}

// The script sleeps past the interval: the restart waits for its end, and comes right after.
TEST_F(LaunchE2eTest, TheRestartWaitsForASlowScriptAndComesAtItsEnd) {
  AppProcess witness;
  ASSERT_TRUE(witness.Start());
  MoveOutOfTheWay(witness);
  // Every line's output goes to nul: console output slows Wine's interpreter down.
  // The script tells which system folders it was given: the program's own environment names
  // others, as a user's HKCU\Environment could.
  ASSERT_TRUE(WriteTextFile(kLaunchScript,
                            "@ping -n 9 127.0.0.1 > nul\r\n"
                            "@echo %SystemRoot%;%windir%;%ComSpec%> C:\\launch-marker.txt\r\n"
                            "@exit 0\r\n"));
  for (const wchar_t* name : {L"SystemRoot", L"windir", L"ComSpec"}) {
    SetEnvironmentVariableW(name, L"C:\\planted");
  }
  const bool started = app_.Start();
  wchar_t windows[MAX_PATH] = {};
  const std::wstring folder(windows, GetSystemWindowsDirectoryW(windows, MAX_PATH));
  SetEnvironmentVariableW(L"SystemRoot", folder.c_str());
  SetEnvironmentVariableW(L"windir", folder.c_str());
  SetEnvironmentVariableW(L"ComSpec", (folder + L"\\system32\\cmd.exe").c_str());
  ASSERT_TRUE(started);
  const ULONGLONG pressed = GetTickCount64();
  ASSERT_TRUE(app_.Click(L"выполнить"));
  // The interpreter reads the script line by line: nobody may change it while it runs.
  const auto writerRefused = [] {
    const HANDLE file = CreateFileW(kLaunchScript.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
    }
    return file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
  };
  EXPECT_TRUE(WaitFor(writerRefused, 5000)) << "a writer could open the running script";
  ASSERT_TRUE(WaitFor([] { return FileExists(kMarker); }, 30000)) << "the script never ended";
  const ULONGLONG marked = GetTickCount64() - pressed;
  EXPECT_FALSE(app_.WaitForExit(0)) << "restarted before the script's end";
  EXPECT_GT(marked, expected::kRestartIntervalMs) << "the script did not outlast the interval";
  ASSERT_TRUE(app_.WaitForExit(expected::kRestartLateMarginMs)) << "no restart at the end";
  EXPECT_TRUE(witness.WaitForExit(3000)) << "the restart did not end the other program";
  const std::string shown(folder.begin(), folder.end());
  EXPECT_EQ(wintest::ReadFileBytes(kMarker),
            shown + ";" + shown + ";" + shown + "\\System32\\cmd.exe\r\n");
  EXPECT_TRUE(WaitFor([] { return ProcessesNamed(L"wineboot.exe").empty(); }, 60000));
}

// Under Wine every process runs with full rights, the desktop's shell included, so the
// program opens only files that nobody else can change; Wine shows a file's security from
// its Unix permissions, and "world-writable" means that Everyone may write.
class RefusalE2eTest : public LaunchE2eTest {
 protected:
  // Presses `button` and returns the text of the message the program shows, after closing it.
  std::wstring MessageAfterPressing(const wchar_t* button) {
    const std::wstring caption = TextOf(app_.window());
    if (!app_.Click(button)) {
      return L"<the button was not found>";
    }
    const HWND box = app_.WaitForMessageBox(10000);
    if (box == nullptr) {
      return L"<no message>";
    }
    const std::wstring text = MessageBoxText(box);
    CloseMessageBox(box);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000)) << "the message stayed";
    EXPECT_EQ(TextOf(app_.window()), caption);
    return text;
  }
  // Waits until 10 s after `since` and expects that no restart came: a restart request would
  // end the witness, a second copy of the program, within 5 s and a little.
  void ExpectNoRestartSince(ULONGLONG since, const AppProcess& witness) {
    const ULONGLONG now = GetTickCount64() - since;
    EXPECT_FALSE(witness.WaitForExit(now < 10000 ? DWORD(10000 - now) : 0))
        << "something asked for a restart";
    EXPECT_FALSE(app_.WaitForExit(0)) << "the program ended";
  }
};

// One run of the program for both, so that the wait for a restart that must not come is paid
// once.
TEST_F(RefusalE2eTest, AMissingWorldWritableOrFailingLaunchScriptIsReportedAndNoRestartFollows) {
  AppProcess witness;
  ASSERT_TRUE(witness.Start());
  MoveOutOfTheWay(witness);
  ASSERT_TRUE(app_.Start());
  // Nothing at the name, then a folder there.
  for (const wchar_t* error : {L"Ошибка 2: ", L"Ошибка 336: "}) {
    const std::wstring failed = MessageAfterPressing(L"выполнить");
    EXPECT_EQ(failed.find(expected::kLaunchNotStarted), 0u) << testing::PrintToString(failed);
    EXPECT_NE(failed.find(error), std::wstring::npos) << testing::PrintToString(failed);
    ASSERT_TRUE(CreateDirectoryW(kLaunchScript.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  }
  ASSERT_TRUE(RemoveDirectoryW(kLaunchScript.c_str()));

  PlaceLaunchScript();
  ASSERT_TRUE(UnixChmod(L"o+w", L"C:\\", L"morvane1.bat"));
  ASSERT_TRUE(WaitFor([] { return EveryoneMayWrite(kLaunchScript); }, 5000))
      << "chmod o+w did not reach the file's security";
  const std::wstring refused = MessageAfterPressing(L"выполнить");
  EXPECT_EQ(refused.find(expected::kLaunchRefusedStart), 0u) << testing::PrintToString(refused);
  EXPECT_NE(refused.find(L"Изменять или удалять файл разрешено: Everyone."), std::wstring::npos)
      << testing::PrintToString(refused);
  EXPECT_NE(refused.find(L"командой move /y"), std::wstring::npos)
      << testing::PrintToString(refused);
  EXPECT_FALSE(FileExists(kMarker)) << "the refused launch script ran";

  // A script that fails, and calls a tool by its bare name where a planted one waits in the
  // program's folder and in its current folder.
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  const std::wstring planted[] = {TestProgramFolder() + L"\\bcdedit.bat",
                                  std::wstring(current) + L"\\bcdedit.bat"};
  for (const std::wstring& path : planted) {
    ASSERT_TRUE(WriteTextFile(path, "@echo planted> C:\\launch-marker.txt\r\n"));
  }
  Remove(kLaunchScript);
  ASSERT_TRUE(WriteTextFile(kLaunchScript, "@bcdedit > nul 2>&1\r\n@exit 3\r\n"));
  const ULONGLONG failed = GetTickCount64();
  const std::wstring code = MessageAfterPressing(L"выполнить");
  EXPECT_EQ(code, expected::ScriptExitedWith(L"3"));
  ExpectNoRestartSince(failed, witness);
  EXPECT_FALSE(FileExists(kMarker)) << "a planted bcdedit.bat ran";
  for (const std::wstring& path : planted) {
    Remove(path);
  }
}

// Wine's desktop has no shell window, as a kiosk's or a desktop whose Explorer restarts: the
// program opens nothing with its own rights and gives the path, even of a file anyone may change.
TEST_F(RefusalE2eTest, HelpGivesThePathOfTheHelpFileOrTheReadmeWithoutTheUsersShell) {
  const std::wstring byHand(expected::kHelpByHandLead);
  const struct {
    const wchar_t* companion;
    std::wstring message;
  } cases[] = {{L"Help.hlp", byHand + L"C:\\amv-help\\Help.hlp"},
               {L"README.txt", byHand + L"C:\\amv-help\\README.txt"},
               {nullptr, std::wstring(expected::kHelpMissing)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.companion ? c.companion : L"neither")));
    TearDown();
    const std::vector<DWORD> viewers = ProcessesNamed(L"winhlp32.exe");
    ASSERT_TRUE(app_.Start(CopyProgram(L"C:\\amv-help", c.companion)));
    if (c.companion != nullptr) {
      ASSERT_TRUE(UnixChmod(L"o+w", L"C:\\amv-help", c.companion));
    }
    EXPECT_EQ(MessageAfterPressing(L"помощь"), c.message);
    EXPECT_EQ(ProcessesNamed(L"winhlp32.exe").size(), viewers.size()) << "a help viewer started";
    EXPECT_FALSE(app_.WaitForExit(0));
  }
}

}  // namespace
}  // namespace addmorvane::e2e
