// The hints that a keyboard user gets from the real window, with Tab and the arrow keys alone.
#include <string>

#include "harness.h"

namespace addmorvane::wintest {
namespace {

using Id = ControlId;
using KeyboardHintsTest = FormTest;

// Work mode chosen with an arrow key, then Tab, Shift+Tab and the arrow keys through the frame;
// after each key, where the focus is and what the three labels show.
TEST_F(KeyboardHintsTest, TabAndArrowKeysShowThePointersHints) {
  MovePointerTo({0, 0});
  const auto tabTo = [&](Id stop) {
    for (int presses = 0; presses < 6 && GetFocus() != Control(stop); ++presses) {
      Key(VK_TAB);
    }
    ASSERT_EQ(GetFocus(), Control(stop));
  };
  tabTo(Id::Option1);
  Key(VK_RIGHT);  // selects "работа"
  tabTo(Id::Command2);
  window().SetText(Id::Label1, L"");
  window().SetText(Id::Label2, L"");
  const auto& cycle = expected::kCycleDescriptions;
  const auto& pass = expected::kPassDescriptions;
  const auto& flag = expected::kFlagHints;
  const std::wstring_view idle = expected::kIdleHint;
  const struct {
    WORD key;
    bool shift;
    Id focus;
    std::wstring_view label1, label2, label3;
  } steps[] = {
      {VK_TAB, false, Id::Combo1, cycle[0].text, pass[0].text, idle},
      {VK_DOWN, false, Id::Combo1, cycle[1].text, pass[0].text, idle},  // -f
      {VK_TAB, false, Id::Combo2, cycle[1].text, pass[0].text, idle},
      {VK_DOWN, false, Id::Combo2, cycle[1].text, pass[1].text, idle},  // -1
      {VK_TAB, false, Id::Check1, cycle[1].text, pass[1].text, flag[0].text},
      {VK_TAB, false, Id::Check2, cycle[1].text, pass[1].text, flag[1].text},
      {VK_TAB, true, Id::Check1, cycle[1].text, pass[1].text, flag[0].text},
      {VK_TAB, true, Id::Combo2, cycle[1].text, pass[1].text, flag[0].text},
      {VK_DOWN, false, Id::Combo2, cycle[1].text, pass[2].text, flag[0].text},  // -2
  };
  int number = 0;
  for (const auto& step : steps) {
    SCOPED_TRACE(testing::Message() << "key " << ++number);
    Key(step.key, step.shift);
    EXPECT_TRUE(window().Focused(step.focus));
    EXPECT_EQ(WindowText(Control(Id::Label1)), step.label1);
    EXPECT_EQ(WindowText(Control(Id::Label2)), step.label2);
    EXPECT_EQ(WindowText(Control(Id::Label3)), step.label3);
  }
}

}  // namespace
}  // namespace addmorvane::wintest
