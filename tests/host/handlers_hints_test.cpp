// The hints, with the pointer routed as the window routes it, on the in-memory form.
#include <gtest/gtest.h>

#include <functional>
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

// The keyboard's hints, one user's session step by step: each row's gesture, then what the
// three labels show.
TEST(Hints, TheFocusAndChoicesInAFocusedListShowThePointersHints) {
  const auto& cycle = expected::kCycleDescriptions;
  const auto& pass = expected::kPassDescriptions;
  const auto& flag = expected::kFlagHints;
  using Id = ControlId;
  struct Step {
    const char* what;
    std::function<void(MemoryForm&)> gesture;
    std::wstring_view label1, label2, label3;
  };
  const Step steps[] = {
      {"trial mode: nothing in the frame takes the focus",
       [](MemoryForm& f) { f.Focus(Id::Combo1), f.Focus(Id::Check1); }, L"old", L"old", kIdle},
      {"work mode", [](MemoryForm& f) { f.Click(Id::Option2); }, L"old", L"old", kIdle},
      {"onto the empty cycle list", [](MemoryForm& f) { f.Focus(Id::Combo1); }, cycle[0].text,
       pass[0].text, kIdle},
      {"a cycle switch chosen", [](MemoryForm& f) { f.ChooseFromList(Id::Combo1, 2); },
       cycle[3].text, pass[0].text, kIdle},
      {"onto a disabled flag: no focus", [](MemoryForm& f) { f.Focus(Id::Check1); }, cycle[3].text,
       pass[0].text, kIdle},
      {"onto the pass list", [](MemoryForm& f) { f.Focus(Id::Combo2); }, cycle[3].text,
       pass[0].text, kIdle},
      {"a pass switch chosen", [](MemoryForm& f) { f.ChooseFromList(Id::Combo2, 3); },
       cycle[3].text, pass[4].text, kIdle},
      {"onto a flag", [](MemoryForm& f) { f.Focus(Id::Check3); }, cycle[3].text, pass[4].text,
       flag[2].text},
      {"leaving it resets nothing", [](MemoryForm& f) { f.Focus(Id::Command3); }, cycle[3].text,
       pass[4].text, flag[2].text},
      {"onto the last flag", [](MemoryForm& f) { f.Focus(Id::Check5); }, cycle[3].text,
       pass[4].text, flag[4].text},
      {"a choice by the wheel, without the focus", [](MemoryForm& f) { f.Wheel(Id::Combo2, 0); },
       cycle[3].text, pass[4].text, flag[4].text},
      {"onto the cycle list", [](MemoryForm& f) { f.Focus(Id::Combo1); }, cycle[3].text,
       pass[1].text, flag[4].text},
      {"typing describes nothing", [](MemoryForm& f) { f.Type(Id::Combo1, L"x"); }, cycle[3].text,
       pass[1].text, flag[4].text},
      {"a typed text that is no switch", [](MemoryForm& f) { f.Focus(Id::Combo2); }, cycle[3].text,
       pass[1].text, flag[4].text},
  };
  RecordingActions actions;
  MemoryApp app(actions);
  app.form.SetText(ControlId::Label1, L"old");
  app.form.SetText(ControlId::Label2, L"old");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.gesture(app.form);
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
