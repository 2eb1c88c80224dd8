// The keyboard focus when the window loses and regains activation, driven by real input: the
// control that had the focus has it again, so Enter and Space press the button as before.
#include "harness.h"

namespace addmorvane::wintest {
namespace {

using Id = ControlId;

// Another program's window, beside ours on the screen.
class OtherWindow {
 public:
  explicit OtherWindow(HWND beside) {
    RECT ours{};
    GetWindowRect(beside, &ours);
    const int width = 160;
    const int height = 120;
    const int left = ours.left >= width + 10 ? ours.left - width - 10 : ours.right + 10;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"OtherProgramWindow";
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&windowClass);  // fails harmlessly when registered already
    hwnd_ = CreateWindowExW(0, windowClass.lpszClassName, L"other",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, ours.top, width, height,
                            nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~OtherWindow() { DestroyWindow(hwnd_); }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// A point in the window's client area where none of its controls is: a click there activates
// the window and nothing else (a click on the caption bar would start moving the window).
POINT OnBackground(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  for (int y = 2; y < client.bottom; y += 4) {
    for (int x = 2; x < client.right; x += 4) {
      if (ChildWindowFromPointEx(hwnd, {x, y}, CWP_SKIPINVISIBLE) == hwnd) {
        POINT screen{x, y};
        ClientToScreen(hwnd, &screen);
        return screen;
      }
    }
  }
  ADD_FAILURE() << "no free point in the window";
  return {};
}

class FocusTest : public FormTest {};

TEST_F(FocusTest, TheFocusedButtonHasTheFocusAgainWhenTheWindowIsActivatedAgain) {
  struct Row {
    const char* how;
    bool byClick;  // a click on our window, or the system bringing the window forward
    WORD key;
  };
  const Row rows[] = {
      {"clicked, Enter", true, VK_RETURN},
      {"clicked, Space", true, VK_SPACE},
      {"brought forward by the system, Enter", false, VK_RETURN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    // "помощь" takes the focus from the keyboard; pressing it opens the help file.
    for (int presses = 0; presses < 12 && GetFocus() != Control(Id::Command4); ++presses) {
      Key(VK_TAB);
    }
    ASSERT_EQ(GetFocus(), Control(Id::Command4));
    actions_.shellCalls.clear();

    OtherWindow other(window().hwnd());
    ASSERT_NE(other.hwnd(), nullptr);
    wintest::ClickAt(OnBackground(other.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.hwnd(); }))
        << "the other window did not become active";
    EXPECT_NE(GetFocus(), Control(Id::Command4));

    if (row.byClick) {
      wintest::ClickAt(OnBackground(window().hwnd()));
    } else {
      SetForegroundWindow(window().hwnd());
    }
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window().hwnd(); }))
        << "our window did not become active again";
    Flush();
    EXPECT_EQ(GetFocus(), Control(Id::Command4));

    Key(row.key);
    EXPECT_TRUE(PumpUntil([&] { return !actions_.shellCalls.empty(); }))
        << "the key pressed nothing";
    ASSERT_EQ(actions_.shellCalls.size(), 1u);
    const std::wstring& opened = actions_.shellCalls[0].path;
    EXPECT_EQ(opened.substr(opened.find_last_of(L'\\') + 1), L"Help.hlp");
  }
}

TEST_F(FocusTest, AControlDisabledWhileInactiveHandsTheFocusToTheFirstThatCanTakeIt) {
  for (int presses = 0; presses < 12 && GetFocus() != Control(Id::Command4); ++presses) {
    Key(VK_TAB);
  }
  ASSERT_EQ(GetFocus(), Control(Id::Command4));
  OtherWindow other(window().hwnd());
  wintest::ClickAt(OnBackground(other.hwnd()));
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.hwnd(); }));
  EnableWindow(Control(Id::Command4), FALSE);
  wintest::ClickAt(OnBackground(window().hwnd()));
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window().hwnd(); }));
  Flush();
  EXPECT_EQ(GetFocus(), Control(Id::Command1));
}

}  // namespace
}  // namespace addmorvane::wintest
