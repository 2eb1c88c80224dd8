// The real program killed at random moments, while it starts and while it writes the run
// script over and over: the run script is always one of the contents the program writes,
// whole, and never missing once the program has started; and the temporary files that killed
// writes leave behind do not pile up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

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

class KillE2eTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { known_ = ProcessesNamed(L"addmorvane.exe"); }
  void TearDown() override {
    EndNewProcesses(L"addmorvane.exe", known_);
    // The last kill's temporary would wait for the next write; tests after this one expect
    // none.
    for (const std::wstring& name : wintest::TemporaryFilesInRoot()) {
      DeleteFileW((L"C:\\" + name).c_str());
    }
  }
  std::vector<DWORD> known_;
};

// Each batch is a test of its own, to stay within a test's time limit.
TEST_P(KillE2eTest, RunScriptIsWholeAfterEveryKill) {
  // Every fifth kill lands while the program starts, the others at a random moment of its
  // writing loop; 50 a batch keeps both kinds well sampled (10 and 40) at half the cost.
  constexpr int kKills = 50;
  std::mt19937 random(20240601u + GetParam());
  std::uniform_int_distribution<DWORD> busyMs(5, 150);
  std::uniform_int_distribution<DWORD> startUpMs(100, 600);
  SetFileAttributesW(kRunScript.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(kRunScript.c_str());
  bool started = false;
  int startUpKills = 0;
  std::size_t mostTemporaries = 0;
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
      RoundDriver driver;
      ASSERT_TRUE(driver.Attach(app));
      HANDLE thread = CreateThread(nullptr, 0, &RoundDriver::Loop, &driver, 0, nullptr);
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
    // Each write clears away what earlier killed writes left before it makes its own
    // temporary, so a kill leaves at most the one it cut short.
    const std::size_t temporaries = wintest::TemporaryFilesInRoot().size();
    mostTemporaries = std::max(mostTemporaries, temporaries);
    ASSERT_LE(temporaries, 1u) << "temporary files pile up";
  }
  std::printf(
      "[   INFO   ] %d kills (%d while starting), %ld rounds, %llu ms, at most %zu "
      "temporary file(s) left\n",
      kKills, startUpKills, static_cast<long>(rounds), GetTickCount64() - begin, mostTemporaries);
}

INSTANTIATE_TEST_SUITE_P(Batch, KillE2eTest, ::testing::Values(0u, 1u));

}  // namespace
}  // namespace addmorvane::e2e
