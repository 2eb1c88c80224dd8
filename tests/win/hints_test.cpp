// The descriptions shown while the pointer moves over the settings: a flag's hint in Label3,
// the chosen switches' descriptions in Label1 and Label2 over the frame itself.
#include "settings_fixture.h"

namespace addmorvane::wintest {
namespace {

using HintsTest = SettingsTest;

const std::wstring kCycleCaption = L"кол-во циклов";
const std::wstring kPassCaption = L"кол-во операции чтенья";
const std::wstring kSlow = L"(slow)200 циклов при 5х операций чтения.";

TEST_F(HintsTest, EachEnabledFlagShowsItsHintInLabel3Only) {
  ChooseSwitches(1, 0);
  MoveAway();
  // Typed texts that the frame would describe differently, so a stray move over the frame
  // would show in Label1 and Label2.
  ReplaceText(ControlId::Combo1, L"-s");
  ReplaceText(ControlId::Combo2, L"-5");
  MoveAway();
  const std::wstring label1 = Text(ControlId::Label1);
  const std::wstring label2 = Text(ControlId::Label2);
  const std::wstring hints[] = {
      L"-p включение переменных шаблонов.",
      L"-b звук при обнаружении ошибки",
      L" -e не печатать ошибки на экран/файл",
      L"-m добавить фазу быстрого чтения с использования MMX комманд.",
      L">>ERRORS.TXT отправить ошибки в файл.",
  };
  for (std::size_t i = 0; i < kFlagIds.size(); ++i) {
    SCOPED_TRACE(i + 1);
    MoveOnto(kFlagIds[i]);
    EXPECT_EQ(Text(ControlId::Label3), hints[i]);
    EXPECT_EQ(Text(ControlId::Label1), label1);
    EXPECT_EQ(Text(ControlId::Label2), label2);
  }
  // Leaving the flag, even over the frame, keeps its hint.
  MoveOntoFrame();
  MoveAway();
  EXPECT_EQ(Text(ControlId::Label3), hints[4]);
  EXPECT_EQ(Text(ControlId::Label1), kSlow);
}

TEST_F(HintsTest, TheFrameDescribesTheChosenSwitches) {
  struct Row {
    int cycle;
    int pass;
    std::wstring label1;
    std::wstring label2;
  };
  const Row rows[] = {
      {2, -1, kSlow, kPassCaption},
      {0, 3, L"(fast)используется при пробном запуске.",
       L"50х операции чтения-ну очень долго и старательно,эмулирует программную область RAM."},
      {4, 2, L"(very long)4000 циклов при 25х операций чтения.",
       L"5х операции чтения-баланс между качеством проверки и скоростью переборки разных "
       L"шаблонов."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Utf8(row.label1));
    Click(ControlId::Option1);
    ChooseSwitches(row.cycle, row.pass);
    MoveOnto(ControlId::Check1);  // whatever this shows in Label3, the frame leaves alone
    const std::wstring label3 = Text(ControlId::Label3);
    MoveOntoFrame();
    EXPECT_EQ(Text(ControlId::Label1), row.label1);
    EXPECT_EQ(Text(ControlId::Label2), row.label2);
    EXPECT_EQ(Text(ControlId::Label3), label3);
  }
  // With nothing chosen the labels show their own captions again.
  Click(ControlId::Option1);
  Click(ControlId::Option2);
  MoveOntoFrame();
  EXPECT_EQ(Text(ControlId::Label1), kCycleCaption);
  EXPECT_EQ(Text(ControlId::Label2), kPassCaption);
}

TEST_F(HintsTest, ATextThatIsNoSwitchLeavesLabel1AsItWas) {
  ChooseSwitches(2, -1);
  MoveOntoFrame();
  ASSERT_EQ(Text(ControlId::Label1), kSlow);
  for (const std::wstring typed : {L"-D", L" -d", L"-d ", L"x"}) {
    SCOPED_TRACE(Utf8(typed));
    ReplaceText(ControlId::Combo1, typed);
    MoveOntoFrame();
    EXPECT_EQ(Text(ControlId::Label1), kSlow);
    EXPECT_EQ(Text(ControlId::Label2), kPassCaption);
  }
}

TEST_F(HintsTest, MovementOverADisabledFlagReachesTheFrame) {
  ChooseSwitches(3, -1);
  MoveAway();
  ASSERT_FALSE(Enabled(ControlId::Check2));
  ASSERT_EQ(Text(ControlId::Label3), kIdle);
  MoveOnto(ControlId::Check2);
  EXPECT_EQ(Text(ControlId::Label1), L"(long)2000 циклов при 5х операций чтения.");
  EXPECT_EQ(Text(ControlId::Label2), kPassCaption);
  EXPECT_EQ(Text(ControlId::Label3), kIdle);
}

TEST_F(HintsTest, TrialModeShowsNothing) {
  ChooseSwitches(4, 1);
  MoveOntoFrame();
  const std::wstring label1 = Text(ControlId::Label1);
  const std::wstring label2 = Text(ControlId::Label2);
  ASSERT_NE(label1, kCycleCaption);
  ASSERT_NE(label2, kPassCaption);
  Click(ControlId::Option1);
  for (const ControlId id : {ControlId::Check1, ControlId::Check4, ControlId::Combo2}) {
    MoveOnto(id);
  }
  MoveOntoFrame();
  EXPECT_EQ(Text(ControlId::Label1), label1);
  EXPECT_EQ(Text(ControlId::Label2), label2);
  EXPECT_EQ(Text(ControlId::Label3), kIdle);
}

}  // namespace
}  // namespace addmorvane::wintest
