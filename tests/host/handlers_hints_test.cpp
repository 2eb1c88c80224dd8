// The hints, with the pointer routed as the window routes it, on the in-memory form.
#include <gtest/gtest.h>

#include <string>

#include "expected/facts.h"
#include "memory_app.h"

namespace addmorvane::test {
namespace {

const std::wstring kIdle(expected::kIdleHint);

void StageC(MemoryForm& form) {
  form.Click(ControlId::Option2);
  form.ChooseFromList(ControlId::Combo1, 1);
  form.ChooseFromList(ControlId::Combo2, 1);
}

TEST(Hints, EachEnabledFlagShowsItsHintInLabel3Only) {
  RecordingActions actions;
  MemoryApp app(actions);
  StageC(app.form);
  for (std::size_t i = 0; i < kFlagControls.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "Check" << i + 1);
    app.form.SetText(ControlId::Label1, L"");
    app.form.SetText(ControlId::Label2, L"");
    app.form.MoveOver(kFlagControls[i]);
    EXPECT_EQ(app.form.Text(ControlId::Label3), expected::kFlagHints[i].text);
    EXPECT_EQ(app.form.Text(ControlId::Label3).size(), expected::kFlagHints[i].characters);
    EXPECT_EQ(app.form.Text(ControlId::Label1), L"");
    EXPECT_EQ(app.form.Text(ControlId::Label2), L"");
  }
  // Leaving the flag for a control without hints changes nothing.
  app.form.MoveOver(ControlId::Command3);
  EXPECT_EQ(app.form.Text(ControlId::Label3), expected::kFlagHints[4].text);
}

TEST(Hints, TheFrameDescribesEveryKeyAndLeavesLabelsForOtherTexts) {
  for (const auto& cycle : expected::kCycleDescriptions) {
    for (const auto& pass : expected::kPassDescriptions) {
      RecordingActions actions;
      MemoryApp app(actions);
      app.form.Click(ControlId::Option2);
      app.form.Type(ControlId::Combo1, cycle.key);
      app.form.SetEnabled(ControlId::Combo2, true);
      app.form.Type(ControlId::Combo2, pass.key);
      app.form.MoveOver(ControlId::Frame1);
      EXPECT_EQ(app.form.Text(ControlId::Label1), cycle.text);
      EXPECT_EQ(app.form.Text(ControlId::Label2), pass.text);
      EXPECT_EQ(app.form.Text(ControlId::Label3), kIdle);
    }
  }
  for (const std::wstring_view other : {L"-D", L" -d", L"-d ", L"x", L"-0"}) {
    RecordingActions actions;
    MemoryApp app(actions);
    app.form.Click(ControlId::Option2);
    app.form.ChooseFromList(ControlId::Combo1, 2);
    app.form.MoveOver(ControlId::Frame1);
    app.form.Backspace(ControlId::Combo1);
    app.form.Backspace(ControlId::Combo1);
    app.form.Type(ControlId::Combo1, other);
    app.form.MoveOver(ControlId::Frame1);
    EXPECT_EQ(app.form.Text(ControlId::Label1), expected::kCycleDescriptions[3].text)
        << "a text of length " << other.size() << " changed Label1";
  }
}

TEST(Hints, PointerOverAControlThatTakesNoInputReachesTheFrame) {
  RecordingActions actions;
  MemoryApp app(actions);
  app.form.Click(ControlId::Option2);
  app.form.ChooseFromList(ControlId::Combo1, 2);  // "-s": the flags are still disabled
  for (const ControlId flag : kFlagControls) {
    app.form.SetText(ControlId::Label1, L"");
    app.form.MoveOver(flag);
    EXPECT_EQ(app.form.Text(ControlId::Label1), expected::kCycleDescriptions[3].text);
    EXPECT_EQ(app.form.Text(ControlId::Label2), expected::kPassDescriptions[0].text);
    EXPECT_EQ(app.form.Text(ControlId::Label3), kIdle) << "a disabled flag showed its hint";
  }
  app.form.SetText(ControlId::Label1, L"");
  app.form.MoveOver(ControlId::Text1);  // hidden
  EXPECT_EQ(app.form.Text(ControlId::Label1), expected::kCycleDescriptions[3].text);
}

// The keyboard's hints through one session: after each gesture (Focus, a Choice from a list,
// the mouse Wheel over a list, Typing "x"), what the three labels show.
TEST(Hints, TheFocusAndChoicesInAFocusedListShowThePointersHints) {
  const auto& cycle = expected::kCycleDescriptions;
  const auto& pass = expected::kPassDescriptions;
  const auto& flag = expected::kFlagHints;
  using Id = ControlId;
  const struct {
    char gesture;
    Id control;
    std::size_t entry;
    std::wstring_view label1, label2, label3;
  } steps[] = {
      {'F', Id::Combo1, 0, cycle[0].text, pass[0].text, kIdle},
      {'C', Id::Combo1, 2, cycle[3].text, pass[0].text, kIdle},
      {'F', Id::Combo2, 0, cycle[3].text, pass[0].text, kIdle},
      {'C', Id::Combo2, 3, cycle[3].text, pass[4].text, kIdle},
      {'F', Id::Check3, 0, cycle[3].text, pass[4].text, flag[2].text},
      {'F', Id::Command3, 0, cycle[3].text, pass[4].text, flag[2].text},  // leaving: no reset
      {'F', Id::Check5, 0, cycle[3].text, pass[4].text, flag[4].text},
      {'W', Id::Combo2, 0, cycle[3].text, pass[4].text, flag[4].text},  // no focus: the pointer's
      {'F', Id::Combo1, 0, cycle[3].text, pass[1].text, flag[4].text},
      {'T', Id::Combo1, 0, cycle[3].text, pass[1].text, flag[4].text},
      {'F', Id::Combo2, 0, cycle[3].text, pass[1].text, flag[4].text},  // "-sx" describes nothing
  };
  RecordingActions actions;
  MemoryApp app(actions);
  app.form.Click(ControlId::Option2);
  app.form.SetText(ControlId::Label1, L"old");
  app.form.SetText(ControlId::Label2, L"old");
  int number = 0;
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << "step " << ++number);
    switch (step.gesture) {
      case 'F':
        app.form.Focus(step.control);
        break;
      case 'C':
        app.form.ChooseFromList(step.control, step.entry);
        break;
      case 'W':
        app.form.Wheel(step.control, step.entry);
        break;
      default:
        app.form.Type(step.control, L"x");
    }
    EXPECT_EQ(app.form.Text(ControlId::Label1), step.label1);
    EXPECT_EQ(app.form.Text(ControlId::Label2), step.label2);
    EXPECT_EQ(app.form.Text(ControlId::Label3), step.label3);
  }
}

TEST(Hints, NothingRunsInTrialModeAndDescriptionsStay) {
  RecordingActions actions;
  MemoryApp app(actions);
  StageC(app.form);
  app.form.MoveOver(ControlId::Frame1);
  app.form.MoveOver(ControlId::Check3);
  app.form.Click(ControlId::Option1);
  for (const ControlId id : {ControlId::Frame1, ControlId::Check1, ControlId::Combo2}) {
    app.form.MoveOver(id);
  }
  EXPECT_EQ(app.form.Text(ControlId::Label1), expected::kCycleDescriptions[2].text);
  EXPECT_EQ(app.form.Text(ControlId::Label2), expected::kPassDescriptions[2].text);
  // Emptying the cycle switch took the flag's hint back to the idle text.
  EXPECT_EQ(app.form.Text(ControlId::Label3), kIdle);
}

}  // namespace
}  // namespace addmorvane::test
