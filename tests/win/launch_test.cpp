// "выполнить", the restart timer, "помощь" and "выход" in the real window, with the shell and
// the restart recorded instead of carried out. The timer runs at a short interval here; the
// end-to-end suite keeps the real five seconds.
#include "harness.h"

#include <string>

namespace addmorvane::wintest {
namespace {

const std::string kOtherBytes = "rem left here by the test\r\n";
constexpr unsigned kShortIntervalMs = 200;

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

class LaunchTest : public FormTest {
 protected:
  LaunchTest() { timerIntervalMs_ = kShortIntervalMs; }
};

TEST_F(LaunchTest, TrialRunWritesTheDefaultAndTheRealTimerRequestsARestartEveryInterval) {
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  const ULONGLONG pressed = GetTickCount64();
  Click(ControlId::Command1);
  EXPECT_EQ(RunScript(), expected::kDefaultScript);
  EXPECT_EQ(WindowText(window().hwnd()), expected::kWaitingCaption);
  ASSERT_EQ(actions_.launchStarts, 1);
  ASSERT_TRUE(actions_.EndLaunchScript({0, 0}));

  ASSERT_TRUE(PumpUntil([&] { return actions_.restartTimes.size() >= 3; }, 10000))
      << actions_.restartTimes.size() << " restart requests in 10 s";
  // Each request comes one interval after the last: never early (less 16 ms, the tick
  // count's granularity), and late by at most 500 ms, which Wine's timers stay well within
  // even on a loaded machine.
  ULONGLONG previous = pressed;
  for (const ULONGLONG at : actions_.restartTimes) {
    EXPECT_GE(at - previous, kShortIntervalMs - 16);
    EXPECT_LE(at - previous, kShortIntervalMs + 500);
    previous = at;
  }
  EXPECT_EQ(actions_.launchStarts, 1) << "a tick must not start the launch script again";
  EXPECT_TRUE(actions_.messages.empty());
}

TEST_F(LaunchTest, ExitOrTheCloseBoxWhileArmedEndsTheWindowAndNoRestartFollows) {
  for (const bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "выход");
    if (!form_) {
      StartForm();
    }
    actions_.restartTimes.clear();
    Click(ControlId::Command1);
    ASSERT_TRUE(actions_.EndLaunchScript({0, 0}));
    ASSERT_TRUE(PumpUntil([&] { return !actions_.restartTimes.empty(); }, 5000)) << "not armed";
    WriteFileBytes(RunScriptPath(), kOtherBytes);
    const HWND form = window().hwnd();
    const std::size_t requests = actions_.restartTimes.size();
    if (closeBox) {
      ASSERT_TRUE(PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0));
      ASSERT_TRUE(PumpUntil([&] { return !IsWindow(form); }));
    } else {
      Click(ControlId::Command2);
    }
    EXPECT_FALSE(IsWindow(form));
    EXPECT_EQ(window().exitCode(), 0);
    // Three intervals pass without a request: the timer went with the window. (Absence can
    // only be watched for a while; three intervals is where a live timer would have ticked.)
    EXPECT_FALSE(
        PumpUntil([&] { return actions_.restartTimes.size() > requests; }, 3 * kShortIntervalMs));
    EXPECT_TRUE(actions_.messages.empty()) << "the exit asked something";
    EXPECT_EQ(RunScript(), kOtherBytes);
    form_.reset();
  }
}

TEST_F(LaunchTest, HelpOpensTheHelpFileBesideTheProgramMaximised) {
  Click(ControlId::Command4);
  const std::vector<ShellCall> help = {
      {TestProgramFolder() + L"\\Help.hlp", ShowCommand::Maximized}};
  EXPECT_EQ(actions_.shellCalls, help);
  EXPECT_EQ(WindowText(window().hwnd()), expected::kFormCaption);
  EXPECT_TRUE(actions_.messages.empty());
}

}  // namespace
}  // namespace addmorvane::wintest
