#include "harness.h"

#include <string>
#include <vector>

namespace addmorvane::wintest {
namespace {

using StartupTest = FormTest;
using Id = ControlId;

std::vector<std::wstring> ListEntries(HWND combo) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    wchar_t text[64]{};
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

// Where the pointer presses the close box: probed along the right end of the title bar.
std::optional<POINT> CloseBoxPoint(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  const int y = rect.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = rect.right - 1; x > rect.right - 80; --x) {
    if (SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
      return POINT{x - 4, y};  // a little inside the box, not on its edge
    }
  }
  return std::nullopt;
}

TEST_F(StartupTest, RunScriptIsWrittenBeforeTheWindowIsShown) {
  EXPECT_EQ(RunScript(), ScriptFor("C:\\Morvane.com"));
  EXPECT_TRUE(IsWindowVisible(window().hwnd()));
  EXPECT_EQ(GetFocus(), Control(ControlId::Command1));
}

TEST_F(StartupTest, ListChoiceOpensPassSwitch) {
  Click(ControlId::Option2);
  EXPECT_TRUE(IsWindowEnabled(Control(ControlId::Frame1)));
  ChooseFromList(ControlId::Combo1, 1);
  EXPECT_EQ(WindowText(Control(ControlId::Combo1)), L"-d");
  EXPECT_TRUE(IsWindowEnabled(Control(ControlId::Combo2)));
}

TEST_F(StartupTest, ControlsShowTrialModeAtStart) {
  EXPECT_EQ(WindowText(window().hwnd()), expected::kFormCaption);
  EXPECT_EQ(SendMessageW(Control(Id::Option1), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Control(Id::Option2), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(window().TimerEnabled());
  EXPECT_EQ(GetFocus(), Control(Id::Command1));

  // Captions as the layout has them, but the hint label, which start-up fills in.
  for (const expected::ControlRow& row : expected::kControls) {
    SCOPED_TRACE(std::wstring(row.name));
    const std::wstring text =
        row.name == L"Label3" ? std::wstring(expected::kIdleHint) : std::wstring(row.caption);
    EXPECT_EQ(WindowText(ControlNamed(row.name)), text);
  }
  // Buttons are named by their captions, above; a list by the static text just before it in
  // z-order. That name is what Narrator reads; AccessibleObjectFromWindow fails under Wine.
  EXPECT_EQ(GetWindow(Control(Id::Combo1), GW_HWNDPREV), Control(Id::Label1));
  EXPECT_EQ(GetWindow(Control(Id::Combo2), GW_HWNDPREV), Control(Id::Label2));
  // Only the frame (and with it everything inside it), Combo2 and the flags are locked.
  for (const Id locked : {Id::Frame1, Id::Combo2}) {
    EXPECT_FALSE(IsWindowEnabled(Control(locked)));
  }
  for (const Id open : {Id::Command1, Id::Command2, Id::Command3, Id::Command4, Id::Option1,
                        Id::Option2, Id::Combo1, Id::Label1, Id::Label2, Id::Label3, Id::Text1}) {
    EXPECT_TRUE(IsWindowEnabled(Control(open)));
  }
  for (const Id check : kFlagControls) {
    SCOPED_TRACE(std::wstring(SpecOf(check).name));
    EXPECT_FALSE(IsWindowEnabled(Control(check)));
    EXPECT_EQ(SendMessageW(Control(check), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  }
  EXPECT_EQ(GetWindowLongW(Control(Id::Text1), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(ListEntries(Control(Id::Combo1)),
            std::vector<std::wstring>(expected::kCycleList.begin(), expected::kCycleList.end()));
  EXPECT_EQ(ListEntries(Control(Id::Combo2)),
            std::vector<std::wstring>(expected::kPassList.begin(), expected::kPassList.end()));
}

TEST_F(StartupTest, WindowGeometryFollowsTheLayout) {
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 96) << "pixel values below assume 96 dpi";
  ReleaseDC(nullptr, screen);
  HWND form = window().hwnd();

  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, expected::kClientWidthPx96);
  EXPECT_EQ(client.bottom, expected::kClientHeightPx96);

  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_NE(style & WS_SYSMENU, 0);
  HWND owner = GetWindow(form, GW_OWNER);
  EXPECT_NE(owner, nullptr) << "an unowned window gets a taskbar button";
  EXPECT_FALSE(IsWindowVisible(owner));

  RECT outer{};
  GetWindowRect(form, &outer);
  EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 2);
  EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 2);

  const expected::ControlRow& frame = expected::kControls[2];
  for (const expected::ControlRow& row : expected::kControls) {
    SCOPED_TRACE(std::wstring(row.name));
    const RECT rect = RectInClient(ControlNamed(row.name), form);
    const bool inFrame = row.container == expected::In::Frame1;
    EXPECT_EQ(rect.left, (row.left + (inFrame ? frame.left : 0)) / 15);
    EXPECT_EQ(rect.top, (row.top + (inFrame ? frame.top : 0)) / 15);
    EXPECT_EQ(rect.right - rect.left, row.width / 15);
    // A closed drop-down combo box shows only its text field.
    EXPECT_EQ(rect.bottom - rect.top, row.height / 15);
  }
}

TEST_F(StartupTest, FontsAreBoldOnButtonsAndEveryCaptionIsShownWhole) {
  for (const ControlSpec& spec : kLayout) {
    SCOPED_TRACE(std::wstring(spec.name));
    HWND hwnd = Control(spec.id);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW logFont{};
    ASSERT_NE(GetObjectW(font, sizeof(logFont), &logFont), 0);
    // The frame's caption is bold too; the frame reports the font it draws it in.
    const bool bold = spec.kind == ControlKind::PushButton ||
                      spec.kind == ControlKind::OptionButton || spec.kind == ControlKind::Frame;
    EXPECT_EQ(logFont.lfWeight, bold ? 700 : 400);
    EXPECT_EQ(logFont.lfCharSet, 204);
    EXPECT_FALSE(logFont.lfItalic || logFont.lfUnderline || logFont.lfStrikeOut);

    EXPECT_TRUE(CaptionShownWhole(hwnd, spec.kind, 96)) << "font height " << logFont.lfHeight;
  }
}

class TabOrderTest : public FormTest {
 protected:
  // The control that holds the focus; a combo box's text field stands for its combo box.
  std::wstring Focused() {
    HWND focus = GetFocus();
    for (const ControlSpec& spec : kLayout) {
      const bool comboField =
          spec.kind == ControlKind::ComboBox && GetParent(focus) == Control(spec.id);
      if (focus == Control(spec.id) || comboField) {
        return std::wstring(spec.name);
      }
    }
    return L"<outside>";
  }
  std::vector<std::wstring> Walk(std::size_t steps, bool backwards) {
    std::vector<std::wstring> visited;
    for (std::size_t step = 0; step < steps; ++step) {
      Key(VK_TAB, backwards);
      visited.push_back(Focused());
    }
    return visited;
  }
  using Names = std::vector<std::wstring>;
};

TEST_F(TabOrderTest, TrialModeStopsOnlyOutsideTheFrame) {
  ASSERT_EQ(Focused(), L"Command1");
  EXPECT_EQ(Walk(4, false), (Names{L"Command2", L"Option1", L"Command4", L"Command1"}));
  EXPECT_EQ(Walk(4, true), (Names{L"Command4", L"Option1", L"Command2", L"Command1"}));
}

TEST_F(TabOrderTest, WorkModeEntersTheFrame) {
  Click(Id::Option2);
  ASSERT_EQ(Focused(), L"Option2");
  // Layout order: Command1, Command2, Combo1, Command3, Option2, Command4; Combo2 and the
  // check boxes are still disabled, Option1 is not selected.
  EXPECT_EQ(Walk(6, false),
            (Names{L"Command4", L"Command1", L"Command2", L"Combo1", L"Command3", L"Option2"}));
  EXPECT_EQ(Walk(6, true),
            (Names{L"Command3", L"Combo1", L"Command2", L"Command1", L"Command4", L"Option2"}));
}

TEST_F(TabOrderTest, StageBAddsThePassSwitchAndStageCTheFlags) {
  Click(Id::Option2);
  ChooseFromList(Id::Combo1, 1);
  Click(Id::Command1);  // the focus back to the start of the order; it only opens the script
  ASSERT_EQ(Focused(), L"Command1");
  EXPECT_EQ(Walk(7, false), (Names{L"Command2", L"Combo1", L"Combo2", L"Command3", L"Option2",
                                   L"Command4", L"Command1"}));
  ChooseFromList(Id::Combo2, 1);
  Click(Id::Command1);
  ASSERT_EQ(Focused(), L"Command1");
  EXPECT_EQ(Walk(12, false),
            (Names{L"Command2", L"Combo1", L"Combo2", L"Check1", L"Check2", L"Check3", L"Check4",
                   L"Check5", L"Command3", L"Option2", L"Command4", L"Command1"}));
  EXPECT_EQ(Walk(12, true),
            (Names{L"Command4", L"Option2", L"Command3", L"Check5", L"Check4", L"Check3", L"Check2",
                   L"Check1", L"Combo2", L"Combo1", L"Command2", L"Command1"}));
  // Emptying the cycle switch takes the pass switch and the flags out of the order again.
  Click(Id::Option1);
  Click(Id::Option2);
  Click(Id::Command1);
  EXPECT_EQ(Walk(6, false),
            (Names{L"Command2", L"Combo1", L"Command3", L"Option2", L"Command4", L"Command1"}));
}

TEST_F(StartupTest, TheTitleBarMovesTheWindow) {
  HWND form = window().hwnd();
  RECT before{};
  GetWindowRect(form, &before);
  // A point of the title bar left of the caption buttons.
  const POINT grip{before.left + 60, before.top + GetSystemMetrics(SM_CYFIXEDFRAME) +
                                         GetSystemMetrics(SM_CYCAPTION) / 2};
  ASSERT_EQ(SendMessageW(form, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCAPTION);
  const POINT drop{grip.x - 40, grip.y + 30};
  PressPointer(grip);
  DragPointerTo({grip.x - 20, grip.y + 15});
  DragPointerTo(drop);
  ReleasePointer(drop);
  Flush();
  RECT after{};
  GetWindowRect(form, &after);
  EXPECT_EQ(after.left - before.left, -40);
  EXPECT_EQ(after.top - before.top, 30);
  EXPECT_EQ(after.right - after.left, before.right - before.left) << "the size changed";
}

TEST_F(StartupTest, LockedFrameIgnoresPointerAndKeyboard) {
  const std::string script = RunScript();
  HWND combo = Control(Id::Combo1);
  RECT comboRect{};
  GetWindowRect(combo, &comboRect);
  struct Target {
    const char* what;
    POINT point;
  };
  const Target targets[] = {
      {"Combo1", CentreOf(combo)},
      {"drop-down button", {comboRect.right - 6, (comboRect.top + comboRect.bottom) / 2}},
      {"Command3", CentreOf(Control(Id::Command3))},
      {"Check1", CentreOf(Control(Id::Check1))},
  };
  for (const Target& target : targets) {
    SCOPED_TRACE(target.what);
    ClickAt(target.point);
    Flush();
    EXPECT_EQ(RunScript(), script);
    EXPECT_EQ(WindowText(combo), L"");
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_FALSE(IsChild(Control(Id::Frame1), GetFocus()));
    for (const Id check : kFlagControls) {
      EXPECT_EQ(SendMessageW(Control(check), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
  }
  EXPECT_EQ(WindowText(window().hwnd()), expected::kFormCaption);

  ASSERT_EQ(GetFocus(), Control(Id::Command1));
  Type(L"-d1");
  EXPECT_EQ(WindowText(combo), L"");
  EXPECT_EQ(WindowText(Control(Id::Combo2)), L"");
  EXPECT_EQ(actions_.launchStarts, 0);
}

TEST_F(StartupTest, EnterAndSpacePressOnlyAFocusedPushButtonAndEscDoesNothing) {
  Key(VK_ESCAPE);
  EXPECT_TRUE(window().alive());
  EXPECT_EQ(actions_.launchStarts, 0);

  Key(VK_TAB);
  Key(VK_TAB);
  ASSERT_EQ(GetFocus(), Control(Id::Option1));
  Key(VK_RETURN);
  EXPECT_EQ(actions_.launchStarts, 0);
  EXPECT_FALSE(window().TimerEnabled());

  Key(VK_TAB);
  Key(VK_TAB);
  ASSERT_EQ(GetFocus(), Control(Id::Command1));
  Key(VK_RETURN);
  ASSERT_EQ(actions_.launchStarts, 1);
  EXPECT_TRUE(window().TimerEnabled());
  // Space presses the focused button too, as in any dialog box: the script still runs.
  Key(VK_SPACE);
  EXPECT_EQ(actions_.messages, std::vector<std::wstring>{std::wstring(expected::kScriptStillRuns)});
}

TEST_F(StartupTest, CloseBoxEndsTheProgramAndLeavesTheDefaultScript) {
  HWND form = window().hwnd();
  const std::optional<POINT> closeBox = CloseBoxPoint(form);
  ASSERT_TRUE(closeBox.has_value()) << "no point of the title bar answers HTCLOSE";
  ClickAt(*closeBox);
  EXPECT_TRUE(PumpUntil([&] { return !window().alive(); }));
  EXPECT_FALSE(IsWindow(form));
  EXPECT_EQ(RunScript(), ScriptFor("C:\\Morvane.com"));
  EXPECT_TRUE(actions_.messages.empty());
}

}  // namespace
}  // namespace addmorvane::wintest
