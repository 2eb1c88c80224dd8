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

TEST(Run, TrialRunWritesTheDefaultStartsTheLaunchScriptAndRestartsEveryInterval) {
  RecordingActions actions;
  MemoryApp app(actions);
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.runScriptWrites.size(), 2u);
  EXPECT_EQ(actions.runScriptWrites.back(), expected::kDefaultCommandLine);
  EXPECT_EQ(app.form.Caption(), expected::kWaitingCaption);
  EXPECT_EQ(actions.launchStarts, 1);
  EXPECT_TRUE(actions.shellCalls.empty());
  ASSERT_TRUE(actions.EndLaunchScript({0, 0}));

  app.form.AdvanceTime(expected::kRestartIntervalMs - 1);
  EXPECT_EQ(actions.restartRequests, 0) << "a restart before the interval";
  app.form.AdvanceTime(1);
  EXPECT_EQ(actions.restartRequests, 1);
  app.form.AdvanceTime(3 * expected::kRestartIntervalMs);
  EXPECT_EQ(actions.restartRequests, 4) << "one request every interval";
  EXPECT_TRUE(app.form.TimerEnabled());
}

// The run script keeps what the last "применить" wrote, and a title set by "применить" while
// the script runs is not taken back when the script fails.
TEST(Run, AWorkRunKeepsTheAppliedScriptAndATitleSetSinceThePress) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  app.form.Click(ControlId::Option2);
  app.form.ChooseFromList(ControlId::Combo1, 1);
  app.form.ChooseFromList(ControlId::Combo2, 0);
  app.form.Click(ControlId::Command3);
  const auto writes = actions.runScriptWrites;
  ASSERT_EQ(writes.back(), L"C:\\Morvane.com -d -1");
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.runScriptWrites, writes);
  EXPECT_EQ(actions.launchStarts, 1);
  app.form.Click(ControlId::Check1);
  app.form.Click(ControlId::Command3);
  ASSERT_TRUE(actions.EndLaunchScript({3, 0}));
  EXPECT_EQ(actions.messages, std::vector<std::wstring>{expected::ScriptExitedWith(L"3")});
  EXPECT_EQ(app.form.Caption(),
            std::wstring(expected::kFormCaption) + L" C:\\Morvane.com -d -1 -p");
}

TEST(Run, TheRestartFollowsOnlyACleanEndOfTheScriptNoSoonerThanOneIntervalAfterThePress) {
  using Shown = std::pair<unsigned, std::wstring>;  // the second it came, and its text
  const std::wstring stillRuns(expected::kScriptStillRuns), limit(expected::kTimeLimitMessage);
  const std::wstring unknown(expected::kScriptEndUnknown), done(expected::kRestartAlreadyRequested);
  const struct {
    const char* name;
    unsigned endAtS;  // the script's end, in seconds after the press; 0: it never ends
    ScriptEnd end;
    unsigned pressAgainAtS;  // 0: no second press
    int firstRestartS;       // -1: no restart at all
    std::vector<Shown> shown;
  } cases[] = {
      {"clean end before the interval", 2, {0, 0}, 0, 5, {}},
      {"clean end after it", 8, {0, 0}, 0, 8, {}},
      {"exit code 3", 2, {3, 0}, 0, -1, {{2, expected::ScriptExitedWith(L"3")}}},
      {"status", 6, {0xC000013A, 0}, 0, -1, {{6, expected::ScriptExitedWith(L"0xC000013A")}}},
      {"its end not known", 4, {0, 6}, 0, -1, {{4, unknown}}},
      {"a clean end just inside the time limit", 118, {0, 0}, 0, 118, {}},
      {"the time limit, a clean end after it", 121, {0, 0}, 0, -1, {{120, limit}}},
      {"a press while it runs", 7, {0, 0}, 3, 7, {{3, stillRuns}}},
      {"a press just before the limit", 0, {}, 119, -1, {{119, stillRuns}, {120, limit}}},
      {"a press at the limit", 0, {}, 120, -1, {{120, limit}, {120, limit}}},
      {"a press once armed", 2, {0, 0}, 12, 5, {{12, done}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingActions actions;
    MemoryApp app(actions);
    unsigned now = 0;
    std::vector<unsigned> restarts;
    std::vector<Shown> shown;
    actions.onRestart = [&] { restarts.push_back(now); };
    app.form.Click(ControlId::Command1);
    EXPECT_EQ(app.form.EndSessionHold(), expected::kEndSessionHold) << "a restart mid-script";
    const auto writes = actions.runScriptWrites;
    for (now = 1; now <= 140; ++now) {
      const std::size_t messages = actions.messages.size(), failures = actions.failures.size();
      app.form.AdvanceTime(1000);
      if (now == c.endAtS) {
        EXPECT_TRUE(actions.EndLaunchScript(c.end));
      }
      if (now == c.pressAgainAtS) {
        app.form.Click(ControlId::Command1);
      }
      for (std::size_t i = messages; i < actions.messages.size(); ++i) {
        shown.push_back({now, actions.messages[i]});
      }
      for (std::size_t i = failures; i < actions.failures.size(); ++i) {
        shown.push_back({now, actions.failures[i].action});
      }
    }
    EXPECT_EQ(actions.launchStarts, 1);
    EXPECT_EQ(actions.runScriptWrites, writes) << "a refused press wrote the script";
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(app.form.SessionMayEnd(), c.endAtS != 0) << "held while it runs, never once armed";
    if (c.firstRestartS < 0) {
      EXPECT_TRUE(restarts.empty());
      EXPECT_FALSE(app.form.TimerEnabled());
      EXPECT_EQ(app.form.Caption(), expected::kFormCaption) << "the title before the press";
      continue;
    }
    // One request at the later of the interval and the end, then one every interval.
    ASSERT_FALSE(restarts.empty());
    EXPECT_EQ(restarts.front(), unsigned(c.firstRestartS));
    EXPECT_EQ(restarts.size(), (140 - restarts.front()) / 5 + 1);
    EXPECT_EQ(app.form.Caption(), expected::kWaitingCaption);
  }
}

TEST(Run, ALaunchScriptThatDidNotStartIsReportedAndArmsNoRestart) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.launchResult = {2, {}};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.failures,
            (std::vector<ReportedFailure>{{2, std::wstring(expected::kLaunchNotStarted)}}));
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  EXPECT_FALSE(app.form.ended()) << "the window stays usable";
  app.form.AdvanceTime(1000);
  EXPECT_EQ(actions.restartRequests, 0);
}

TEST(Run, ARefusedLaunchScriptShowsTheRefusalAndArmsNoRestart) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.launchResult = {0, std::wstring(expected::kScriptRunsInAnotherCopy)};
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.messages, std::vector<std::wstring>{actions.launchResult.refusal});
  EXPECT_TRUE(actions.failures.empty());
  EXPECT_TRUE(app.form.SessionMayEnd());
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  app.form.AdvanceTime(1000);
  EXPECT_EQ(actions.restartRequests, 0);
}

TEST(Restart, ARefusedRestartIsToldOnceAndAskedForOnEveryTick) {
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
    actions.EndLaunchScript({0, 0});
    app.form.AdvanceTime(30);
    const std::vector<ReportedFailure> once{
        {c.error, std::wstring(expected::kRestartRefusedMessage)}};
    EXPECT_EQ(actions.failures, c.told ? once : std::vector<ReportedFailure>{});
    EXPECT_EQ(actions.restartRequests, 3);
    EXPECT_TRUE(app.form.TimerEnabled());
  }
}

TEST(Run, AFailedTrialWriteStopsBeforeTheLaunchAndTheTimer) {
  RecordingActions actions;
  MemoryApp app(actions, 10);
  actions.writeError = 5;
  app.form.Click(ControlId::Command1);
  EXPECT_EQ(actions.launchStarts, 0);
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
    ASSERT_TRUE(actions.EndLaunchScript({0, 0}));
    app.form.AdvanceTime(10);
    ASSERT_EQ(actions.restartRequests, 1) << "armed";
    if (closeBox) {
      app.form.CloseBox();
    } else {
      app.form.Click(ControlId::Command2);
    }
    EXPECT_EQ(app.form.exitCode(), 0);
    app.form.AdvanceTime(3 * 10);
    EXPECT_EQ(actions.restartRequests, 1) << "a request after the exit";
    EXPECT_TRUE(actions.messages.empty()) << "the exit asked something";
    EXPECT_EQ(actions.runScriptWrites.size(), 2u) << "the exit wrote something";
  }
}

TEST(Help, HelpOpensTheHelpFileOrElseTheReadmeBesideTheProgramAndChangesNothingElse) {
  const std::wstring folder = L"D:\\Программы\\addmorvane\\";
  const std::wstring refusal = L"Файл не открыт: a refusal made up by the test";
  const std::wstring byHand = std::wstring(expected::kHelpByHandLead) + folder;
  const std::wstring none(expected::kHelpMissing);
  const std::wstring failed = L"1155: Не удалось открыть файл " + folder + L"Help.hlp.";
  const std::vector<std::wstring> both{L"Help.hlp", L"README.txt"};
  const OpenResult missing{2, {}}, noShell{0, {}, false, true};
  const struct {
    const char* name;
    OpenResult help, readme;
    std::vector<std::wstring> opened;    // names tried, in order
    std::vector<std::wstring> messages;  // a failure's as "code: text"
  } cases[] = {
      {"help file opened", {}, {}, {L"Help.hlp"}, {}},
      {"help file failed", {1155, {}}, {}, {L"Help.hlp"}, {failed}},
      {"no user's shell", noShell, {}, {L"Help.hlp"}, {byHand + L"Help.hlp"}},
      {"no help file, no user's shell", missing, noShell, both, {byHand + L"README.txt"}},
      {"no help file", missing, {}, {L"Help.hlp", L"README.txt"}, {}},
      {"neither", missing, missing, both, {none}},
      {"no folder at all", {3, {}}, missing, both, {none}},
      {"help file refused", {0, refusal}, {}, {L"Help.hlp"}, {refusal}},
      {"readme refused", missing, {0, refusal}, {L"Help.hlp", L"README.txt"}, {refusal}},
      {"not confirmed", {0, {}, true}, {}, {L"Help.hlp"}, {}},
  };
  // Idle, the script running, the restart armed.
  for (const int stage : {0, 1, 2}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", stage " + std::to_string(stage));
      RecordingActions actions;
      MemoryApp app(actions, 10);
      if (stage > 0) {
        app.form.Click(ControlId::Command1);
      }
      if (stage > 1) {
        ASSERT_TRUE(actions.EndLaunchScript({0, 0}));
      }
      actions.shellResultFor = {{L"Help.hlp", c.help}, {L"README.txt", c.readme}};
      const std::wstring state = app.State();
      const std::wstring caption = app.form.Caption();
      const auto writes = actions.runScriptWrites.size();
      app.form.Click(ControlId::Command4);
      std::vector<ShellCall> opened;
      for (const std::wstring& name : c.opened) {
        opened.push_back({folder + name, ShowCommand::Maximized});
      }
      EXPECT_EQ(actions.shellCalls, opened);
      std::vector<std::wstring> told = actions.messages;
      for (const ReportedFailure& failure : actions.failures) {
        told.push_back(std::to_wstring(failure.code) + L": " + failure.action);
      }
      EXPECT_EQ(told, c.messages);
      EXPECT_EQ(app.State(), state);
      EXPECT_EQ(app.form.Caption(), caption);
      EXPECT_EQ(app.form.TimerEnabled(), stage > 0);
      EXPECT_EQ(actions.runScriptWrites.size(), writes);
    }
  }
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
