// The real program killed at random moments, while it starts and while it writes the run
// script over and over: the run script is always one of the contents the program writes,
// whole, and never missing once the program has started.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <string>

#include "app/layout.h"
#include "app_process.h"
#include "harness.h"

namespace addmorvane::e2e {
namespace {

const std::wstring kRunScript = L"C:\\morvane.bat";
const std::string kDefaultScript = wintest::ScriptFor("C:\\Morvane.com");
const std::string kAppliedScript = wintest::ScriptFor("C:\\Morvane.com -d -2");

std::string Shown(const std::optional<std::string>& bytes) {
  if (!bytes) {
    return "<missing>";
  }
  std::string shown;
  for (const char c : *bytes) {
    shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  }
  return shown;
}

// The program's controls, and rounds of "работа", "-d" and "-2" from the lists, "применить"
// and "проба", sent as the controls themselves would send them: one message at a time, each
// handled whole before the next, so that the program is always busy when it is killed.
struct Driver {
  HWND trial;
  HWND work;
  HWND apply;
  HWND cycle;
  HWND pass;
  volatile LONG rounds = 0;

  bool Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
  }
  bool Choose(HWND combo, ControlId id, int index) const {
    return Send(combo, CB_SETCURSEL, WPARAM(index)) &&
           Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(int(id), CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(combo));
  }
  // Runs until a message no longer reaches the program.
  static DWORD WINAPI Loop(void* self) {
    auto& d = *static_cast<Driver*>(self);
    while (d.Send(d.work, BM_CLICK) && d.Choose(d.cycle, ControlId::Combo1, 1) &&
           d.Choose(d.pass, ControlId::Combo2, 1) && d.Send(d.apply, BM_CLICK) &&
           d.Send(d.trial, BM_CLICK)) {
      InterlockedIncrement(&d.rounds);
    }
    return 0;
  }
};

class KillE2eTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { known_ = ProcessesNamed(L"addmorvane.exe"); }
  void TearDown() override { EndNewProcesses(L"addmorvane.exe", known_); }
  std::vector<DWORD> known_;
};

// Each batch is a test of its own, to stay within a test's time limit.
TEST_P(KillE2eTest, RunScriptIsWholeAfterEveryKill) {
  constexpr int kKills = 100;
  std::mt19937 random(20240601u + GetParam());
  std::uniform_int_distribution<DWORD> busyMs(5, 150);
  std::uniform_int_distribution<DWORD> startUpMs(100, 600);
  SetFileAttributesW(kRunScript.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(kRunScript.c_str());
  bool started = false;
  int startUpKills = 0;
  LONG rounds = 0;
  const ULONGLONG begin = GetTickCount64();
  for (int kill = 1; kill <= kKills; ++kill) {
    SCOPED_TRACE(testing::Message() << "kill " << kill);
    AppProcess app;
    if (kill % 5 == 0) {
      // Killed while it starts, whether or not its window is up yet.
      started = app.Start(ProgramPath(), startUpMs(random)) || started;
      ++startUpKills;
    } else {
      ASSERT_TRUE(app.Start());
      started = true;
      HWND frame = app.Control(L"настройка");
      Driver driver{app.Control(L"проба"), app.Control(L"работа"), app.Control(L"применить"),
                    GetDlgItem(frame, int(ControlId::Combo1)),
                    GetDlgItem(frame, int(ControlId::Combo2))};
      ASSERT_TRUE(driver.trial && driver.work && driver.apply && driver.cycle && driver.pass);
      HANDLE thread = CreateThread(nullptr, 0, &Driver::Loop, &driver, 0, nullptr);
      ASSERT_NE(thread, nullptr);
      // The driver ends early only if the program does.
      const bool stillDriving = WaitForSingleObject(thread, busyMs(random)) == WAIT_TIMEOUT;
      app.Terminate();
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
      rounds += driver.rounds;
      ASSERT_TRUE(stillDriving) << "the program stopped taking messages on its own";
    }
    app.Terminate();
    const std::optional<std::string> script = wintest::ReadFileBytes(kRunScript);
    if (!started && !script) {
      continue;  // killed before its first write
    }
    ASSERT_TRUE(script == kDefaultScript || script == kAppliedScript) << Shown(script);
  }
  std::printf("[   INFO   ] %d kills (%d while starting), %ld rounds, %llu ms\n", kKills,
              startUpKills, static_cast<long>(rounds), GetTickCount64() - begin);
}

INSTANTIATE_TEST_SUITE_P(Batch, KillE2eTest, ::testing::Values(0u, 1u));

}  // namespace
}  // namespace addmorvane::e2e
