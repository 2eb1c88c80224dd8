// What a screen reader and a keyboard user get from the real window: the names Windows gives
// the controls, and the hints reached with Tab and the arrow keys alone.
#include <string>

#include "harness.h"

namespace addmorvane::wintest {
namespace {

using Id = ControlId;

using AccessibilityTest = FormTest;

// Under Wine AccessibleObjectFromWindow answers E_NOINTERFACE, so the names are checked where
// Windows takes them from: a caption of the control's own, or, for a list, the static text just
// before it in z-order.
TEST_F(AccessibilityTest, ListsFollowTheirLabelsAndButtonsCarryTheirCaptions) {
  const struct {
    const wchar_t* list;
    const wchar_t* label;
  } lists[] = {{L"Combo1", L"Label1"}, {L"Combo2", L"Label2"}};
  for (const auto& pair : lists) {
    SCOPED_TRACE(pair.list);
    HWND label = GetWindow(ControlNamed(pair.list), GW_HWNDPREV);
    ASSERT_EQ(label, ControlNamed(pair.label));
    wchar_t className[16]{};
    GetClassNameW(label, className, 16);
    EXPECT_EQ(std::wstring(className), L"Static");
    EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & WS_TABSTOP, 0);
  }
  int named = 0;
  for (const expected::ControlRow& row : expected::kControls) {
    if (row.kind == expected::Kind::CheckBox || row.kind == expected::Kind::OptionButton ||
        row.kind == expected::Kind::PushButton) {
      SCOPED_TRACE(std::wstring(row.name));
      EXPECT_EQ(WindowText(ControlNamed(row.name)), row.caption);
      ++named;
    }
  }
  EXPECT_EQ(named, 11);
}

// Work mode chosen with the arrow keys, then Tab, Shift+Tab and the arrow keys through the
// frame; after each key, where the focus is and what the three labels show.
TEST_F(AccessibilityTest, TabAndArrowKeysShowThePointersHints) {
  MovePointerTo({0, 0});
  Flush();
  const auto& cycle = expected::kCycleDescriptions;
  const auto& pass = expected::kPassDescriptions;
  const auto& flag = expected::kFlagHints;
  const std::wstring_view idle = expected::kIdleHint;
  for (int presses = 0; presses < 6 && GetFocus() != Control(Id::Option1); ++presses) {
    Key(VK_TAB);
  }
  ASSERT_EQ(GetFocus(), Control(Id::Option1));
  Key(VK_RIGHT);  // selects "работа"
  ASSERT_TRUE(IsWindowEnabled(Control(Id::Frame1)));
  for (int presses = 0; presses < 6 && GetFocus() != Control(Id::Command2); ++presses) {
    Key(VK_TAB);
  }
  ASSERT_EQ(GetFocus(), Control(Id::Command2));
  window().SetText(Id::Label1, L"");
  window().SetText(Id::Label2, L"");

  const struct {
    const char* key;
    WORD virtualKey;
    bool shift;
    Id focus;
    std::wstring_view label1, label2, label3;
  } steps[] = {
      {"Tab onto the empty cycle list", VK_TAB, false, Id::Combo1, cycle[0].text, pass[0].text,
       idle},
      {"Down: -f", VK_DOWN, false, Id::Combo1, cycle[1].text, pass[0].text, idle},
      {"Down: -d", VK_DOWN, false, Id::Combo1, cycle[2].text, pass[0].text, idle},
      {"Tab onto the pass list", VK_TAB, false, Id::Combo2, cycle[2].text, pass[0].text, idle},
      {"Down: -1", VK_DOWN, false, Id::Combo2, cycle[2].text, pass[1].text, idle},
      {"Down: -2", VK_DOWN, false, Id::Combo2, cycle[2].text, pass[2].text, idle},
      {"Tab onto the first flag", VK_TAB, false, Id::Check1, cycle[2].text, pass[2].text,
       flag[0].text},
      {"Tab onto the second", VK_TAB, false, Id::Check2, cycle[2].text, pass[2].text, flag[1].text},
      {"Shift+Tab back", VK_TAB, true, Id::Check1, cycle[2].text, pass[2].text, flag[0].text},
      {"Shift+Tab back to the pass list", VK_TAB, true, Id::Combo2, cycle[2].text, pass[2].text,
       flag[0].text},
      {"Up: -1", VK_UP, false, Id::Combo2, cycle[2].text, pass[1].text, flag[0].text},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.key);
    Key(step.virtualKey, step.shift);
    EXPECT_TRUE(window().Focused(step.focus));
    EXPECT_EQ(WindowText(Control(Id::Label1)), step.label1);
    EXPECT_EQ(WindowText(Control(Id::Label2)), step.label2);
    EXPECT_EQ(WindowText(Control(Id::Label3)), step.label3);
  }
}

}  // namespace
}  // namespace addmorvane::wintest
