// What the tests of the settings frame share: reading the controls back and the few user
// gestures they are built from (choosing switches, editing a combo box's text with the
// keyboard, moving the pointer onto a control from outside the frame).
#pragma once

#include <array>
#include <string>

#include "harness.h"

namespace addmorvane::wintest {

inline const std::wstring kIdle(expected::kIdleHint);

inline std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(),
                                                            int(text.size()), bytes.data(),
                                                            int(bytes.size()), nullptr, nullptr)));
  return bytes;
}

class SettingsTest : public FormTest {
 protected:
  std::wstring Text(ControlId id) { return WindowText(Control(id)); }
  bool Enabled(ControlId id) { return IsWindowEnabled(Control(id)) != FALSE; }
  LRESULT Check(ControlId id) { return SendMessageW(Control(id), BM_GETCHECK, 0, 0); }

  // Everything the cascade decides, in one readable line, so a failure shows the whole state.
  // Flags are shown as enabled and check value, in order.
  // A pointer left over a flag by a closing list moves over it: where a list was just used,
  // Label3 may show that flag's hint, and the tests leave it out.
  std::string State(bool withCycleText = true, bool withHint = true) {
    std::wstring state = L"frame=" + std::to_wstring(Enabled(ControlId::Frame1));
    if (withCycleText) {
      state += L" combo1='" + Text(ControlId::Combo1) + L"'";
    }
    state += L" combo2='" + Text(ControlId::Combo2) + L"'/" +
             std::to_wstring(Enabled(ControlId::Combo2)) + L" flags=";
    for (const ControlId flag : kFlagControls) {
      state += std::to_wstring(Enabled(flag)) + std::to_wstring(Check(flag)) + L" ";
    }
    if (withHint) {
      state += L"label3='" + Text(ControlId::Label3) + L"'";
    }
    return Utf8(state);
  }

  // A click by a user who then moves on, so that the pointer rests on no control afterwards
  // and no later pointer movement reaches the clicked one by chance.
  void Click(ControlId id) {
    ClickAt(CentreOf(Control(id)));
    MoveAway();
    Flush();
  }

  // Work mode with a cycle switch and, unless `pass` is negative, a pass switch chosen from
  // the lists.
  void ChooseSwitches(int cycle, int pass) {
    Click(ControlId::Option2);
    ChooseFromList(ControlId::Combo1, cycle);
    if (pass >= 0) {
      ChooseFromList(ControlId::Combo2, pass);
    }
  }

  // Puts the caret into the combo box's text field and selects all of it with the keyboard.
  void SelectAllIn(ControlId combo) {
    Click(combo);
    Key(VK_END);
    Key(VK_HOME, /*shift=*/true);
  }
  // Replaces the whole text as a user would: typing over the selection, or deleting it.
  void ReplaceText(ControlId combo, const std::wstring& text) {
    SelectAllIn(combo);
    if (text.empty()) {
      Key(VK_BACK);
    } else {
      Type(text);
    }
  }

  // The pointer leaves the frame for a bare corner of the window, so that the next move onto
  // a control is a real move.
  void MoveAway() {
    RECT client{};
    GetClientRect(window().hwnd(), &client);
    POINT corner{4, client.bottom - 4};
    ClientToScreen(window().hwnd(), &corner);
    MoveAndWait(corner);
  }
  void MoveOnto(ControlId id) {
    MoveAway();
    MoveAndWait(CentreOf(Control(id)));
  }
  // A point of the frame that no control covers: near its right edge, halfway down.
  void MoveOntoFrame() {
    MoveAway();
    RECT frame{};
    GetWindowRect(Control(ControlId::Frame1), &frame);
    MoveAndWait({frame.right - (frame.right - frame.left) / 40, (frame.top + frame.bottom) / 2});
  }
  // Waits until the move itself has been handled: the thread's last message was at the target.
  void MoveAndWait(POINT target) {
    MovePointerTo(target);
    ASSERT_TRUE(PumpUntil([&] {
      const DWORD position = GetMessagePos();
      return static_cast<short>(LOWORD(position)) == target.x &&
             static_cast<short>(HIWORD(position)) == target.y;
    })) << "the move to "
        << target.x << "," << target.y << " was not handled";
  }
};

}  // namespace addmorvane::wintest
