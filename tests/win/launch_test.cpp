// "выполнить", the restart timer, "помощь" and "выход" in the real window, with the shell and
// the restart recorded instead of carried out.
#include "harness.h"

#include <cstdio>
#include <string>
#include <utility>

#include "launch/launch_actions.h"
#include "platform/error_text.h"

namespace addmorvane::wintest {
namespace {

constexpr wchar_t kWaiting[] = L"add morvane-ждите идет загрузка";
const std::string kOtherBytes = "rem left here by the test\r\n";

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

class LaunchTest : public FormTest {
 protected:
  void ExpectOneShellCall(const std::wstring& path, ShowCommand show) {
    ASSERT_EQ(actions_.shellCalls.size(), 1u);
    EXPECT_EQ(actions_.shellCalls[0].path, path);
    EXPECT_EQ(actions_.shellCalls[0].show, show);
  }
  // Pumps the window's messages until `ms` after `since`; returns whether a restart was
  // requested in that time.
  bool RestartRequestedBefore(ULONGLONG since, ULONGLONG ms) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < since + ms ? static_cast<DWORD>(since + ms - now) : 0;
    return PumpUntil([&] { return !actions_.restartTimes.empty(); }, left);
  }
};

TEST_F(LaunchTest, TrialRunWritesDefaultScriptOpensLaunchScriptAndRestartsEveryFiveSeconds) {
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  const ULONGLONG pressed = GetTickCount64();
  Click(ControlId::Command1);

  EXPECT_EQ(RunScript(), ScriptFor("C:\\Morvane.com"));
  EXPECT_EQ(RunScript().size(), 35u);
  EXPECT_EQ(WindowText(window().hwnd()), kWaiting);
  ExpectOneShellCall(L"C:\\morvane1.bat", ShowCommand::Hidden);
  EXPECT_TRUE(window().TimerEnabled());
  EXPECT_TRUE(actions_.messages.empty());

  ASSERT_TRUE(PumpUntil([&] { return actions_.restartTimes.size() >= 2; }, 14000))
      << actions_.restartTimes.size() << " restart requests in 14 s";
  const ULONGLONG first = actions_.restartTimes[0] - pressed;
  const ULONGLONG second = actions_.restartTimes[1] - actions_.restartTimes[0];
  // The press reaches the window a little after `pressed`; Wine's timers may run late.
  EXPECT_GE(first, 4900u);
  EXPECT_LE(first, 6500u);
  EXPECT_GE(second, 4900u);
  EXPECT_LE(second, 5600u);
  EXPECT_TRUE(window().TimerEnabled());
  EXPECT_EQ(actions_.shellCalls.size(), 1u) << "a tick must not open the launch script again";
  std::printf("first restart %llu ms after the press, second %llu ms later\n", first, second);
}

TEST_F(LaunchTest, WorkRunLeavesAppliedScriptAndEachPressOpensLaunchScript) {
  Click(ControlId::Option2);
  ChooseFromList(ControlId::Combo1, 1);
  ChooseFromList(ControlId::Combo2, 1);
  Click(ControlId::Command3);
  const std::string applied = RunScript();
  ASSERT_EQ(applied, ScriptFor("C:\\Morvane.com -d -2"));

  Click(ControlId::Command1);
  EXPECT_EQ(RunScript(), applied);
  EXPECT_EQ(WindowText(window().hwnd()), kWaiting);
  EXPECT_TRUE(window().TimerEnabled());

  // Nothing at all is written in work mode, even when the file changed since "применить".
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  Click(ControlId::Command1);
  EXPECT_EQ(RunScript(), kOtherBytes);
  ASSERT_EQ(actions_.shellCalls.size(), 2u);
  for (const ShellCall& call : actions_.shellCalls) {
    EXPECT_EQ(call.path, L"C:\\morvane1.bat");
    EXPECT_EQ(call.show, ShowCommand::Hidden);
  }
  EXPECT_TRUE(window().TimerEnabled());
}

TEST_F(LaunchTest, LaunchScriptThatCannotBeStartedIsReportedAndArmsNoRestart) {
  const unsigned long errors[] = {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_NO_ASSOCIATION,
                                  ERROR_TIMEOUT};
  const ULONGLONG firstPress = GetTickCount64();
  for (const unsigned long error : errors) {
    SCOPED_TRACE(error);
    actions_.shellResult = {error, {}};
    actions_.messages.clear();
    const std::wstring before = WindowText(window().hwnd());
    Click(ControlId::Command1);
    ASSERT_EQ(actions_.messages.size(), 1u);
    const std::wstring& message = actions_.messages[0];
    EXPECT_NE(message.find(L"C:\\morvane1.bat"), std::wstring::npos) << message;
    EXPECT_NE(message.find(std::to_wstring(error)), std::wstring::npos) << message;
    EXPECT_NE(message.find(SystemMessageText(error)), std::wstring::npos) << message;
    EXPECT_FALSE(window().TimerEnabled());
    EXPECT_EQ(WindowText(window().hwnd()), before);
    EXPECT_TRUE(IsWindowVisible(window().hwnd()));
  }
  EXPECT_FALSE(RestartRequestedBefore(firstPress, 6000));
  EXPECT_TRUE(window().alive());
}

TEST_F(LaunchTest, RefusedLaunchScriptShowsTheRefusalAndArmsNoRestart) {
  const std::wstring refusal = L"Файл C:\\morvane1.bat не открыт: a refusal made up by the test";
  actions_.shellResult = {0, refusal};
  const ULONGLONG pressed = GetTickCount64();
  Click(ControlId::Command1);
  ASSERT_EQ(actions_.messages.size(), 1u);
  EXPECT_EQ(actions_.messages[0], refusal);
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane");
  EXPECT_FALSE(window().TimerEnabled());
  EXPECT_FALSE(RestartRequestedBefore(pressed, 6000));
}

TEST_F(LaunchTest, HelpIsSilentAboutShellFailuresButShowsARefusal) {
  actions_.shellResult = {ERROR_FILE_NOT_FOUND, {}};
  Click(ControlId::Command4);
  EXPECT_EQ(actions_.shellCalls.size(), 1u);
  EXPECT_TRUE(actions_.messages.empty());

  const std::wstring refusal = L"Файл Help.hlp не открыт: a refusal made up by the test";
  actions_.shellResult = {0, refusal};
  Click(ControlId::Command4);
  EXPECT_EQ(actions_.shellCalls.size(), 2u);
  ASSERT_EQ(actions_.messages.size(), 1u);
  EXPECT_EQ(actions_.messages[0], refusal);
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane");
  EXPECT_FALSE(window().TimerEnabled());
}

TEST_F(LaunchTest, HelpOpensHelpFileBesideProgramAndChangesNothingElse) {
  const std::wstring help = TestProgramFolder() + L"\\Help.hlp";
  // Idle in trial mode, then armed with the waiting caption.
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  Click(ControlId::Command4);
  ExpectOneShellCall(help, ShowCommand::Maximized);
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane");
  EXPECT_EQ(RunScript(), kOtherBytes);
  EXPECT_FALSE(window().TimerEnabled());

  Click(ControlId::Command1);
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  actions_.shellCalls.clear();
  Click(ControlId::Command4);
  ExpectOneShellCall(help, ShowCommand::Maximized);
  EXPECT_EQ(WindowText(window().hwnd()), kWaiting);
  EXPECT_EQ(RunScript(), kOtherBytes);
  EXPECT_TRUE(window().TimerEnabled());
  EXPECT_TRUE(actions_.messages.empty());
}

TEST_F(LaunchTest, ExitWhileArmedEndsWindowAndNoRestartFollows) {
  const ULONGLONG pressed = GetTickCount64();
  Click(ControlId::Command1);
  ASSERT_TRUE(window().TimerEnabled());
  WriteFileBytes(RunScriptPath(), kOtherBytes);
  const HWND form = window().hwnd();

  Click(ControlId::Command2);
  EXPECT_FALSE(IsWindow(form));
  EXPECT_FALSE(window().alive());
  EXPECT_EQ(window().exitCode(), 0);
  EXPECT_FALSE(RestartRequestedBefore(pressed, 6500));
  EXPECT_EQ(RunScript(), kOtherBytes);
  EXPECT_EQ(actions_.shellCalls.size(), 1u);
}

TEST(HelpFilePathTest, AppendsHelpFileToFolder) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:", L"C:\\Help.hlp"},
      {L"C:\\Program Files\\x", L"C:\\Program Files\\x\\Help.hlp"},
      {L"\\\\server\\share\\папка", L"\\\\server\\share\\папка\\Help.hlp"},
  };
  for (const auto& [folder, expected] : cases) {
    EXPECT_EQ(HelpFilePath(folder), expected);
  }
}

}  // namespace
}  // namespace addmorvane::wintest
