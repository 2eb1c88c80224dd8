// Two copies of the real program writing the run script at the same time, with and without a
// third program holding the script open (as an editor or a virus scanner does): neither ever
// reports an error caused by the other, and the script is always whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app_process.h"
#include "file_holder.h"
#include "harness.h"

namespace addmorvane::e2e {
namespace {

const std::wstring kRunScript = L"C:\\morvane.bat";
const std::string kDefaultScript = wintest::ScriptFor("C:\\Morvane.com");
const std::string kAppliedScript = wintest::ScriptFor("C:\\Morvane.com -d -2");

struct Setting {
  const char* what;
  bool held;  // the script held open by another process with read and write sharing
};
const Setting kSettings[] = {{"script free", false}, {"script held open by another program", true}};

// A running copy shows its window and nothing else: no message.
::testing::AssertionResult ShowsOnlyItsWindow(const AppProcess& app) {
  if (app.WaitForExit(0)) {
    return ::testing::AssertionFailure() << "ended with " << app.ExitCode();
  }
  const std::vector<HWND> windows = app.VisibleWindows();
  if (windows.size() != 1 || app.Control(L"проба") == nullptr) {
    std::string shown;
    for (const HWND window : windows) {
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring text = TextOf(child);
        shown += " [" + std::string(text.begin(), text.end()) + "]";
      }
    }
    return ::testing::AssertionFailure() << windows.size() << " windows:" << shown;
  }
  return ::testing::AssertionSuccess();
}

// Reads the script as another program would, while the copies write it; nullopt when it is
// busy at that moment (held without sharing, or its bytes locked by a writer).
std::optional<std::string> ReadIfFree() {
  HANDLE file = CreateFileW(kRunScript.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  char buffer[4096];
  DWORD read = 0;
  const bool ok = ReadFile(file, buffer, sizeof(buffer), &read, nullptr) != FALSE;
  CloseHandle(file);
  return ok ? std::optional<std::string>(std::string(buffer, read)) : std::nullopt;
}

class TwoCopiesE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    known_ = ProcessesNamed(L"addmorvane.exe");
    SetFileAttributesW(kRunScript.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(WriteTextFile(kRunScript, "old content\r\n"));
  }
  void TearDown() override { EndNewProcesses(L"addmorvane.exe", known_); }
  std::vector<DWORD> known_;
};

TEST_F(TwoCopiesE2eTest, TwoCopiesStartedTogetherBothStart) {
  constexpr int kRounds = 4;
  for (const Setting& setting : kSettings) {
    SCOPED_TRACE(setting.what);
    for (int round = 1; round <= kRounds; ++round) {
      SCOPED_TRACE(testing::Message() << "round " << round);
      wintest::FileHolder holder;
      if (setting.held) {
        ASSERT_TRUE(holder.Hold(kRunScript, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE));
      }
      AppProcess first;
      AppProcess second;
      ASSERT_TRUE(first.Launch());
      ASSERT_TRUE(second.Launch());
      EXPECT_TRUE(first.WaitForWindow());
      EXPECT_TRUE(second.WaitForWindow());
      EXPECT_TRUE(ShowsOnlyItsWindow(first));
      EXPECT_TRUE(ShowsOnlyItsWindow(second));
      EXPECT_EQ(wintest::ReadFileBytes(kRunScript), kDefaultScript);
      EXPECT_TRUE(wintest::TemporaryFilesInRoot().empty());
    }
  }
}

TEST_F(TwoCopiesE2eTest, TwoCopiesWritingInAFastLoopNeverFailEachOther) {
  for (const Setting& setting : kSettings) {
    SCOPED_TRACE(setting.what);
    wintest::FileHolder holder;
    if (setting.held) {
      ASSERT_TRUE(holder.Hold(kRunScript, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE));
    }
    AppProcess copies[2];
    RoundDriver drivers[2];
    HANDLE threads[2] = {};
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(copies[i].Start());
      ASSERT_TRUE(drivers[i].Attach(copies[i]));
      // Each write that finds the script held waits a moment before writing in place.
      drivers[i].limit = setting.held ? 12 : 60;
    }
    const ULONGLONG begin = GetTickCount64();
    for (int i = 0; i < 2; ++i) {
      threads[i] = CreateThread(nullptr, 0, &RoundDriver::Loop, &drivers[i], 0, nullptr);
      ASSERT_NE(threads[i], nullptr);
    }
    // Another program reads the script meanwhile, as an indexer or a scanner would. Each of
    // its reads holds the script open, which keeps a rename from replacing it, so the copies
    // also meet the in-place rewrite here, and must not fail each other there either. What
    // such a reader sees in the middle of a write is not judged: Windows keeps readers out of
    // the locked bytes, but Wine does not enforce the lock against reads, so there a read may
    // see a write half done. The script must be whole once the copies are done.
    int whole = 0;
    int other = 0;
    int busy = 0;
    while (WaitForMultipleObjects(2, threads, TRUE, 0) == WAIT_TIMEOUT) {
      const std::optional<std::string> seen = ReadIfFree();
      ++(!seen ? busy : seen == kDefaultScript || seen == kAppliedScript ? whole : other);
    }
    for (HANDLE thread : threads) {
      CloseHandle(thread);
    }
    std::printf(
        "[   INFO   ] %s: %ld and %ld rounds in %llu ms; reads: %d whole, %d mid-write, %d busy\n",
        setting.what, static_cast<long>(drivers[0].rounds), static_cast<long>(drivers[1].rounds),
        GetTickCount64() - begin, whole, other, busy);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(drivers[i].rounds, drivers[i].limit) << "copy " << i + 1 << " stopped";
      EXPECT_TRUE(ShowsOnlyItsWindow(copies[i])) << "copy " << i + 1;
    }
    EXPECT_EQ(wintest::ReadFileBytes(kRunScript), kDefaultScript);
    holder.Release();
    EXPECT_TRUE(wintest::TemporaryFilesInRoot().empty());
  }
}

}  // namespace
}  // namespace addmorvane::e2e
