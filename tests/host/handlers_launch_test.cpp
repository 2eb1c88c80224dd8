// Run, restart, help and exit on the in-memory form, with the form's clock in place of time.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "expected/facts.h"
#include "launch/launch_actions.h"
#include "memory_app.h"

namespace addmorvane::test {
namespace {

const ShellCall kLaunch{L"C:\\morvane1.bat", ShowCommand::Hidden};

TEST(Run, TrialRunWritesTheDefaultOpensTheLaunchScriptAndRestartsEveryInterval) {
  RecordingActions actions;
  MemoryApp app(actions);
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.runScriptWrites.size(), 2u);
  EXPECT_EQ(actions.runScriptWrites.back(), expected::kDefaultCommandLine);
  EXPECT_EQ(app.form.Caption(), expected::kWaitingCaption);
  EXPECT_EQ(actions.shellCalls, std::vector<ShellCall>{kLaunch});
  EXPECT_TRUE(app.form.TimerEnabled());

  app.form.AdvanceTime(expected::kRestartIntervalMs - 1);
  EXPECT_EQ(actions.restartRequests, 0) << "a restart before the interval";
  app.form.AdvanceTime(1);
  EXPECT_EQ(actions.restartRequests, 1);
  app.form.AdvanceTime(3 * expected::kRestartIntervalMs);
  EXPECT_EQ(actions.restartRequests, 4) << "one request every interval";
  EXPECT_TRUE(app.form.TimerEnabled());
}

TEST(Run, WorkRunLeavesTheScriptAndEveryPressOpensTheLaunchScriptAgain) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  app.form.Click(ControlId::Option2);
  app.form.ChooseFromList(ControlId::Combo1, 1);
  app.form.ChooseFromList(ControlId::Combo2, 1);
  app.form.Click(ControlId::Command3);
  const auto writes = actions.runScriptWrites;
  app.form.Click(ControlId::Command1);
  app.form.AdvanceTime(7);
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.runScriptWrites, writes) << "work mode wrote the script";
  EXPECT_EQ(actions.shellCalls, (std::vector<ShellCall>{kLaunch, kLaunch}));
  // The running interval goes on: the second press does not start it anew.
  app.form.AdvanceTime(3);
  EXPECT_EQ(actions.restartRequests, 1);
}

TEST(Run, ALaunchScriptThatDidNotStartIsReportedAndArmsNoRestart) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.shellResult = {2, {}};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.failures,
            (std::vector<ReportedFailure>{{2, L"Не удалось запустить C:\\morvane1.bat."}}));
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  EXPECT_FALSE(app.form.ended()) << "the window stays usable";
  app.form.AdvanceTime(1000);
  EXPECT_EQ(actions.restartRequests, 0);
}

TEST(Run, ARefusedLaunchScriptShowsTheRefusalAndArmsNoRestart) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.shellResult = {0, L"Файл C:\\morvane1.bat не открыт: a refusal made up by the test"};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.messages, std::vector<std::wstring>{actions.shellResult.refusal});
  EXPECT_TRUE(actions.failures.empty());
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  app.form.AdvanceTime(1000);
  EXPECT_EQ(actions.restartRequests, 0);
}

TEST(Run, ALaunchTheShellDidNotConfirmIsToldAndArmsNoRestartButStopsNoneArmedBefore) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  const std::wstring unconfirmed =
      L"Оболочка Windows не ответила вовремя, и неизвестно, "
      L"запущен ли файл C:\\morvane1.bat: он может ещё запуститься. ";
  actions.shellResult = {0, {}, true};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.messages,
            std::vector<std::wstring>{unconfirmed + L"Перезагрузка не назначена."});
  EXPECT_TRUE(actions.failures.empty());
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  actions.shellResult = {};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.shellCalls, (std::vector<ShellCall>{kLaunch, kLaunch}));
  EXPECT_TRUE(app.form.TimerEnabled());
  // Armed, a refused tick, then a press the shell does not confirm: the requests go on.
  actions.restartError = 5;
  app.form.AdvanceTime(10);
  actions.shellResult = {0, {}, true};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.messages.back(), unconfirmed +
                                         L"Перезагрузка, назначенная раньше, "
                                         L"по-прежнему запрашивается " +
                                         std::wstring(expected::kEveryInterval) + L".");
  EXPECT_TRUE(app.form.TimerEnabled());
  app.form.AdvanceTime(10);
  EXPECT_EQ(actions.restartRequests, 2);
}

TEST(Restart, ARefusedRestartIsToldOnceForEachArmingAndAskedForOnEveryTick) {
  const struct {
    unsigned long error;
    bool told;
  } cases[] = {{5, true},     {1314, true},  {1300, true}, {0, false},
               {1115, false}, {1190, false}, {87, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    RecordingActions actions;
    MemoryApp app(actions, 10);
    actions.restartError = c.error;
    // The message's own loop goes on delivering ticks.
    actions.whileMessageOpen = [&app] { app.form.AdvanceTime(20); };
    app.form.Click(ControlId::Command1);
    app.form.AdvanceTime(30);
    const std::vector<ReportedFailure> once{
        {c.error, L"Windows отказала в перезагрузке. Программа будет просить о ней " +
                      std::wstring(expected::kEveryInterval) +
                      L", пока её не закроют кнопкой «выход»."}};
    EXPECT_EQ(actions.failures, c.told ? once : std::vector<ReportedFailure>{});
    EXPECT_EQ(actions.restartRequests, 3);
    EXPECT_TRUE(app.form.TimerEnabled());
    app.form.Click(ControlId::Command1);
    app.form.AdvanceTime(10);
    EXPECT_EQ(actions.failures.size(), c.told ? 2u : 0u) << "a new arming tells it again";
  }
}

TEST(Run, AFailedTrialWriteStopsBeforeTheLaunchAndTheTimer) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.writeError = 5;
  app.form.Click(ControlId::Command1);
  EXPECT_TRUE(actions.shellCalls.empty());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  EXPECT_EQ(app.form.exitCode(), 5);
  app.form.AdvanceTime(1000);
  EXPECT_EQ(actions.restartRequests, 0);
}

TEST(Exit, ExitOrTheCloseBoxWhileArmedEndsTheProgramAndNoRestartFollows) {
  for (const bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "выход");
    RecordingActions actions;
    MemoryApp app(actions, 10);
    app.form.Click(ControlId::Command1);
    app.form.AdvanceTime(9);
    if (closeBox) {
      app.form.CloseBox();
    } else {
      app.form.Click(ControlId::Command2);
    }
    EXPECT_EQ(app.form.exitCode(), 0);
    app.form.AdvanceTime(1000);
    EXPECT_EQ(actions.restartRequests, 0);
    EXPECT_EQ(actions.runScriptWrites.size(), 2u) << "the exit wrote something";
  }
}

TEST(Help, HelpOpensTheFileBesideTheProgramMaximisedAndChangesNothingElse) {
  for (const bool armed : {false, true}) {
    SCOPED_TRACE(armed ? "armed" : "idle");
    RecordingActions actions;
    MemoryApp app(actions, 10);
    if (armed) {
      app.form.Click(ControlId::Command1);
    }
    // No help file, or a shell that did not answer: the shell's business, no message of ours.
    actions.shellResult = armed ? OpenResult{2, {}} : OpenResult{0, {}, true};
    const std::wstring state = app.State();
    const std::wstring caption = app.form.Caption();
    const auto writes = actions.runScriptWrites.size();
    app.form.Click(ControlId::Command4);
    EXPECT_EQ(actions.shellCalls.back(),
              (ShellCall{L"D:\\Программы\\addmorvane\\Help.hlp", ShowCommand::Maximized}));
    EXPECT_TRUE(actions.failures.empty());
    EXPECT_TRUE(actions.messages.empty());
    EXPECT_EQ(app.State(), state);
    EXPECT_EQ(app.form.Caption(), caption);
    EXPECT_EQ(app.form.TimerEnabled(), armed);
    EXPECT_EQ(actions.runScriptWrites.size(), writes);
  }
}

TEST(Help, ARefusedHelpFileIsReportedAndChangesNothingElse) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.shellResult = {0, L"Файл Help.hlp не открыт: a refusal made up by the test"};
  app.form.Click(ControlId::Command4);
  EXPECT_EQ(actions.messages, std::vector<std::wstring>{actions.shellResult.refusal});
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_FALSE(app.form.ended());
}

TEST(Help, TheHelpFileFollowsTheFolderWithOneSeparator) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:", L"C:\\Help.hlp"},
      {L"C:\\Program Files\\x", L"C:\\Program Files\\x\\Help.hlp"},
      {L"\\\\server\\share\\папка", L"\\\\server\\share\\папка\\Help.hlp"},
  };
  for (const auto& [folder, path] : cases) {
    EXPECT_EQ(HelpFilePath(folder), path);
  }
}

}  // namespace
}  // namespace addmorvane::test
