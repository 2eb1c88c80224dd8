// The two modes and the cascade of the settings frame: the pass switch opens only after a
// cycle switch was chosen from its list, the flags only after a pass switch was; emptying the
// cycle switch closes everything behind it again.
#include "settings_fixture.h"

namespace addmorvane::wintest {
namespace {

using CascadeTest = SettingsTest;

const std::string kDefaultScript = ScriptFor("C:\\Morvane.com");

TEST_F(CascadeTest, WorkModeOpensTheFrameInStageAAndWritesNothing) {
  WriteFileBytes(RunScriptPath(), "left by an earlier apply\r\n");
  Click(ControlId::Option2);
  EXPECT_EQ(Check(ControlId::Option2), BST_CHECKED);
  EXPECT_EQ(Check(ControlId::Option1), BST_UNCHECKED);
  EXPECT_EQ(State(),
            "frame=1 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  // Inside the frame only the cycle switch and "применить" take input.
  EXPECT_TRUE(Enabled(ControlId::Combo1));
  EXPECT_TRUE(Enabled(ControlId::Command3));
  EXPECT_EQ(RunScript(), "left by an earlier apply\r\n");
}

TEST_F(CascadeTest, ChoosingACycleSwitchOpensThePassSwitch) {
  struct Case {
    const char* how;
    bool byKeyboard;
    std::wstring chosen;
  };
  for (const Case& c : {Case{"arrow key", true, L"-f"}, Case{"pointer", false, L"-s"}}) {
    SCOPED_TRACE(c.how);
    Click(ControlId::Option1);
    Click(ControlId::Option2);
    if (c.byKeyboard) {
      Click(ControlId::Combo1);
      Key(VK_DOWN);  // list closed: the first entry is chosen
    } else {
      ChooseFromList(ControlId::Combo1, 2);
    }
    EXPECT_EQ(State(), "frame=1 combo1='" + Utf8(c.chosen) +
                           "' combo2=''/1 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  }
}

TEST_F(CascadeTest, AnotherCycleSwitchInStageBOrCChangesOnlyTheText) {
  for (const int pass : {-1, 1}) {
    SCOPED_TRACE(pass < 0 ? "stage B" : "stage C");
    Click(ControlId::Option1);
    ChooseSwitches(1, pass);
    if (pass >= 0) {
      Click(ControlId::Check2);  // also puts its hint into Label3
    }
    const std::string stage = State(/*withCycleText=*/false);
    // By arrow key: the pointer, were it left over a flag by a closing list, would change
    // Label3.
    Click(ControlId::Combo1);
    Key(VK_DOWN);
    EXPECT_EQ(Text(ControlId::Combo1), L"-s");
    EXPECT_EQ(State(false), stage);
  }
}

TEST_F(CascadeTest, EmptyingTheCycleSwitchByHandClosesEverythingBehindIt) {
  for (const bool perCharacter : {false, true}) {
    SCOPED_TRACE(perCharacter ? "backspace per character" : "select all, backspace");
    Click(ControlId::Option1);
    ChooseSwitches(1, 2);
    Click(ControlId::Check2);
    Click(ControlId::Check4);
    MoveOnto(ControlId::Check5);
    if (perCharacter) {
      Click(ControlId::Combo1);
      Key(VK_END);
      Type(L"xy");  // "-dxy": a typed text leaves the stage as it is
      const std::string stageC = State(false);
      for (int left = 3; left > 0; --left) {
        Key(VK_BACK);
        EXPECT_EQ(Text(ControlId::Combo1).size(), std::size_t(left));
        EXPECT_EQ(State(false), stageC);
      }
      Key(VK_BACK);
    } else {
      ReplaceText(ControlId::Combo1, L"");
    }
    EXPECT_EQ(State(),
              "frame=1 combo1='' combo2=''/0 flags=00 01 00 01 00 label3='" + Utf8(kIdle) + "'");
    // Choosing again brings the flags back with the marks they kept.
    ChooseFromList(ControlId::Combo1, 0);
    ChooseFromList(ControlId::Combo2, 0);
    EXPECT_EQ(State(true, false), "frame=1 combo1='-f' combo2='-1'/1 flags=10 11 10 11 10 ");
  }
}

TEST_F(CascadeTest, TypedCycleTextNeverOpensAndABlankIsNotEmpty) {
  Click(ControlId::Option2);
  Click(ControlId::Combo1);
  Type(L"-f");
  EXPECT_EQ(State(),
            "frame=1 combo1='-f' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  ReplaceText(ControlId::Combo1, L" ");
  EXPECT_EQ(State(),
            "frame=1 combo1=' ' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");

  ChooseFromList(ControlId::Combo1, 1);
  ChooseFromList(ControlId::Combo2, 3);
  Click(ControlId::Check1);
  const std::string stageC = State(false);
  ReplaceText(ControlId::Combo1, L" ");  // typed over the selection: never empty on the way
  EXPECT_EQ(Text(ControlId::Combo1), L" ");
  EXPECT_EQ(State(false), stageC);
}

TEST_F(CascadeTest, OnlyAPassSwitchFromTheListOpensTheFlags) {
  ChooseSwitches(3, -1);
  Click(ControlId::Combo2);
  Type(L"-1");
  EXPECT_EQ(State(),
            "frame=1 combo1='-l' combo2='-1'/1 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  ChooseFromList(ControlId::Combo2, 2);
  EXPECT_EQ(State(true, false), "frame=1 combo1='-l' combo2='-5'/1 flags=10 10 10 10 10 ");
  ReplaceText(ControlId::Combo2, L"");
  EXPECT_EQ(State(true, false), "frame=1 combo1='-l' combo2=''/1 flags=10 10 10 10 10 ");
}

TEST_F(CascadeTest, TrialModeFromStageCClearsEveryChoice) {
  ChooseSwitches(4, 0);
  Click(ControlId::Check1);
  Click(ControlId::Check3);
  Click(ControlId::Check5);
  Click(ControlId::Command3);
  ASSERT_EQ(WindowText(window().hwnd()), L"addmorvane C:\\Morvane.com -v -1 -p -e >>ERRORS.TXT");
  ASSERT_EQ(RunScript(), ScriptFor("C:\\Morvane.com -v -1 -p -e >>ERRORS.TXT"));
  MoveOnto(ControlId::Check2);
  ASSERT_EQ(Text(ControlId::Label3), L"-b звук при обнаружении ошибки");

  Click(ControlId::Option1);
  // Label3 is reset only by the cycle switch's Change handler, which emptying Combo1 from
  // code has to run.
  const std::string trial =
      "frame=0 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'";
  EXPECT_EQ(State(), trial);
  EXPECT_EQ(Check(ControlId::Option1), BST_CHECKED);
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane");
  EXPECT_EQ(RunScript(), kDefaultScript);

  Click(ControlId::Option1);
  EXPECT_EQ(State(), trial);
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane");
  EXPECT_EQ(RunScript(), kDefaultScript);

  Click(ControlId::Option2);
  EXPECT_EQ(State(),
            "frame=1 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  EXPECT_EQ(RunScript(), kDefaultScript);
}

}  // namespace
}  // namespace addmorvane::wintest
