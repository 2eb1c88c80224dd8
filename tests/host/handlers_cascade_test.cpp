// The modes and the switch cascade, driven as a user drives them, on the in-memory form.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "expected/facts.h"
#include "memory_app.h"

namespace addmorvane::test {
namespace {

using expected::kDefaultCommandLine;
const std::wstring kIdle(expected::kIdleHint);

// States as State() prints them.
const std::wstring kTrialA =
    L"frame=0 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + kIdle + L"'";
const std::wstring kWorkA =
    L"frame=1 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + kIdle + L"'";

TEST(StartUp, TrialModeStageAWithTheDefaultScriptWrittenOnce) {
  RecordingActions actions;
  const MemoryApp app(actions);
  EXPECT_EQ(app.State(), kTrialA);
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  EXPECT_EQ(app.form.Value(ControlId::Option1), 1);
  EXPECT_EQ(app.form.Value(ControlId::Option2), 0);
  EXPECT_FALSE(app.form.Visible(ControlId::Text1));
  EXPECT_EQ(app.form.Text(ControlId::Text1), L"");
  EXPECT_FALSE(app.form.TimerEnabled());
  EXPECT_EQ(app.form.Text(ControlId::Label1), L"кол-во циклов");
  EXPECT_EQ(app.form.Text(ControlId::Label2), L"кол-во операции чтенья");
  EXPECT_EQ(actions.runScriptWrites, std::vector<std::wstring>{std::wstring(kDefaultCommandLine)});
  EXPECT_TRUE(actions.failures.empty());
}

TEST(StartUp, AScriptThatCannotBeWrittenFailsTheStart) {
  RecordingActions actions;
  actions.writeError = 5;
  EXPECT_THROW(MemoryApp app(actions), std::exception);
}

struct CascadeCase {
  const char* name;
  std::function<void(MemoryForm&)> gestures;
  std::wstring state;
};

void WorkMode(MemoryForm& f) {
  f.Click(ControlId::Option2);
}
void StageB(MemoryForm& f) {
  WorkMode(f);
  f.ChooseFromList(ControlId::Combo1, 1);  // "-d"
}
void StageC(MemoryForm& f) {
  StageB(f);
  f.ChooseFromList(ControlId::Combo2, 1);  // "-2"
}
void StageCWithFlags(MemoryForm& f) {
  StageC(f);
  f.Click(ControlId::Check1);
  f.Click(ControlId::Check4);
}
void EmptyCombo1ByHand(MemoryForm& f) {
  while (!f.Text(ControlId::Combo1).empty()) {
    f.Backspace(ControlId::Combo1);
  }
}

TEST(Cascade, EveryStageByListChoiceTypingAndExactEmptiness) {
  const std::wstring flagsOff = L"flags=00 00 00 00 00 ";
  const std::wstring flagsOn = L"flags=10 10 10 10 10 ";
  const CascadeCase cases[] = {
      {"work mode opens the frame in stage A", WorkMode, kWorkA},
      {"a cycle switch from the list opens the pass switch", StageB,
       L"frame=1 combo1='-d' combo2=''/1 " + flagsOff + L"label3='" + kIdle + L"'"},
      {"a pass switch from the list opens the five flags, none checked", StageC,
       L"frame=1 combo1='-d' combo2='-2'/1 " + flagsOn + L"label3='" + kIdle + L"'"},
      {"a typed cycle switch opens nothing",
       [](MemoryForm& f) {
         WorkMode(f);
         f.Type(ControlId::Combo1, L"-f");
       },
       L"frame=1 combo1='-f' combo2=''/0 " + flagsOff + L"label3='" + kIdle + L"'"},
      {"a blank is not empty",
       [](MemoryForm& f) {
         StageC(f);
         EmptyCombo1ByHand(f);
         f.Type(ControlId::Combo1, L" ");
       },
       L"frame=1 combo1=' ' combo2=''/0 " + flagsOff + L"label3='" + kIdle + L"'"},
      {"another cycle switch in stage C changes only the text",
       [](MemoryForm& f) {
         StageCWithFlags(f);
         f.ChooseFromList(ControlId::Combo1, 4);
       },
       // Check4, clicked last, showed its hint as it took the focus.
       L"frame=1 combo1='-v' combo2='-2'/1 flags=11 10 10 11 10 label3='" +
           std::wstring(expected::kFlagHints[3].text) + L"'"},
      {"deleting the cycle text closes everything only when it is empty, marks kept",
       [](MemoryForm& f) {
         StageCWithFlags(f);
         f.Backspace(ControlId::Combo1);
         ASSERT_TRUE(f.Enabled(ControlId::Combo2)) << "closed before the text was empty";
         f.Backspace(ControlId::Combo1);
       },
       L"frame=1 combo1='' combo2=''/0 flags=01 00 00 01 00 label3='" + kIdle + L"'"},
      {"checked flags come back checked through the lists",
       [](MemoryForm& f) {
         StageCWithFlags(f);
         EmptyCombo1ByHand(f);
         f.ChooseFromList(ControlId::Combo1, 0);
         f.ChooseFromList(ControlId::Combo2, 3);
       },
       L"frame=1 combo1='-f' combo2='-0'/1 flags=11 10 10 11 10 label3='" + kIdle + L"'"},
      {"a typed pass switch leaves the flags closed",
       [](MemoryForm& f) {
         StageB(f);
         f.Type(ControlId::Combo2, L"-2");
       },
       L"frame=1 combo1='-d' combo2='-2'/1 " + flagsOff + L"label3='" + kIdle + L"'"},
      {"emptying the pass switch by hand leaves open flags open",
       [](MemoryForm& f) {
         StageC(f);
         f.Backspace(ControlId::Combo2);
         f.Backspace(ControlId::Combo2);
       },
       L"frame=1 combo1='-d' combo2=''/1 " + flagsOn + L"label3='" + kIdle + L"'"},
      {"trial mode from stage C clears every choice",
       [](MemoryForm& f) {
         StageCWithFlags(f);
         f.Click(ControlId::Option1);
       },
       kTrialA},
      {"trial and back to work loses every choice",
       [](MemoryForm& f) {
         StageCWithFlags(f);
         f.Click(ControlId::Option1);
         f.Click(ControlId::Option2);
       },
       kWorkA},
      {"the locked frame takes no input in trial mode",
       [](MemoryForm& f) {
         f.ChooseFromList(ControlId::Combo1, 1);
         f.Type(ControlId::Combo1, L"-d");
         f.Click(ControlId::Check1);
       },
       kTrialA},
  };
  for (const CascadeCase& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingActions actions;
    MemoryApp app(actions);
    c.gestures(app.form);
    EXPECT_EQ(app.State(), c.state);
  }
}

TEST(Modes, TrialModeWritesTheDefaultAndRestoresTheTitleWorkModeWritesNothing) {
  RecordingActions actions;
  MemoryApp app(actions);
  StageCWithFlags(app.form);
  app.form.Click(ControlId::Command3);
  ASSERT_EQ(actions.runScriptWrites.size(), 2u);
  app.form.Click(ControlId::Option1);
  EXPECT_EQ(app.form.Caption(), expected::kFormCaption);
  ASSERT_EQ(actions.runScriptWrites.size(), 3u);
  EXPECT_EQ(actions.runScriptWrites.back(), kDefaultCommandLine);
  // Text1 keeps the last applied line; only the title goes back.
  EXPECT_EQ(app.form.Text(ControlId::Text1), L"C:\\Morvane.com -d -2 -p -m");

  app.form.Click(ControlId::Option2);
  EXPECT_EQ(actions.runScriptWrites.size(), 3u) << "work mode writes nothing on entry";
}

TEST(Modes, AFailedTrialWriteEndsTheProgramAfterTheControlsWereCleared) {
  RecordingActions actions;
  MemoryApp app(actions);
  StageCWithFlags(app.form);
  actions.writeError = 112;
  app.form.Click(ControlId::Option1);
  ASSERT_EQ(actions.failures.size(), 1u);
  EXPECT_EQ(actions.failures[0].code, 112u);
  EXPECT_EQ(actions.failures[0].action, L"Не удалось записать файл C:\\morvane.bat.");
  EXPECT_EQ(app.form.exitCode(), 112);
  EXPECT_EQ(app.State(), kTrialA);
}

}  // namespace
}  // namespace addmorvane::test
