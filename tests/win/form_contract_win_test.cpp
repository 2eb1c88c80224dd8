// The form's contract, held against the real window, driven by real pointer and keyboard input.
#include "contract/form_contract.h"
#include "harness.h"

namespace addmorvane::test {
namespace {

using wintest::CentreOf;
using wintest::ClickAt;
using wintest::Flush;
using wintest::MovePointerTo;
using wintest::PumpUntil;

class WindowDriver {
 public:
  WindowDriver(ScriptedSink& sink, SystemActions& actions)
      : sink_(sink), window_(sink, actions, kContractTimerMs) {
    window_.Create();
    // The pointer waits off the window, so that the window does not appear under it.
    MovePointerTo({0, 0});
    window_.Show();
    SetForegroundWindow(window_.hwnd());
    EXPECT_TRUE(PumpUntil(&window_, [&] { return GetForegroundWindow() == window_.hwnd(); }));
    Flush(&window_);
    sink_.log.clear();
  }
  ~WindowDriver() { wintest::PumpPending(nullptr); }
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  Form& form() { return window_; }

  void Click(ControlId id) {
    ClickAt(CentreOf(window_.control(id)));
    Flush(&window_);
  }

  // Opens the list with its drop-down button, if the combo box lets it open, and clicks the
  // entry.
  void ChooseFromList(ControlId combo, std::size_t index) {
    HWND hwnd = window_.control(combo);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    ClickAt({rect.right - 6, (rect.top + rect.bottom) / 2});
    Flush(&window_);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(hwnd, &info));
    if (!IsWindowVisible(info.hwndList)) {
      return;
    }
    RECT item{};
    ASSERT_NE(SendMessageW(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)),
              LB_ERR);
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(info.hwndList, &centre);
    ClickAt(centre);
    ASSERT_TRUE(PumpUntil(&window_, [&] { return IsWindowVisible(info.hwndList) == FALSE; }))
        << "the list did not close";
    Flush(&window_);
  }

  // Clicks into the text field, goes to its end and types.
  void Type(ControlId combo, std::wstring_view text) {
    RECT rect{};
    GetWindowRect(window_.control(combo), &rect);
    ClickAt({rect.left + 8, (rect.top + rect.bottom) / 2});
    wintest::PressKey(VK_END);
    Flush(&window_);
    wintest::TypeText(std::wstring(text));
    Flush(&window_);
  }

  // From a bare corner of the window, outside the frame, straight onto the control.
  void MoveOver(ControlId id) {
    RECT client{};
    GetClientRect(window_.hwnd(), &client);
    POINT corner{4, client.bottom - 4};
    ClientToScreen(window_.hwnd(), &corner);
    MovePointerTo(corner);
    Flush(&window_);
    RECT rect{};
    GetWindowRect(window_.control(id), &rect);
    // A frame's centre may lie on a control; its right edge region lies on none.
    const POINT target = id == ControlId::Frame1
                             ? POINT{rect.right - 6, (rect.top + rect.bottom) / 2}
                             : CentreOf(window_.control(id));
    MovePointerTo(target);
    Flush(&window_);
  }

  bool WaitForTicks(int ticks) {
    return PumpUntil(
        &window_, [&] { return sink_.ticks >= ticks; }, 5000);
  }
  bool ended() const { return !window_.alive(); }
  int exitCode() const { return window_.exitCode(); }

 private:
  ScriptedSink& sink_;
  FormWindow window_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(RealWindow, FormContract, WindowDriver);

}  // namespace
}  // namespace addmorvane::test
