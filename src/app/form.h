// The window as its event handlers see it: the properties they read and set, and nothing
// else. The product implements it over real Win32 controls; the tests also have an in-memory
// form, and one contract suite holds both to what the handlers rely on:
//
// - Setting a combo box's or the text box's text from code raises its Change event before
//   the setter returns, and only when the text really changes. A handler it raises runs
//   nested and may itself set properties.
// - Choosing a list entry (pointer or arrow keys) raises the combo box's Click event with the
//   chosen text already in its field; typing raises Change for every edit and never Click.
// - A control that is disabled or hidden keeps its text and value: code may read and set
//   them, only the user's input is refused.
// - Nothing inside a disabled Frame1 takes pointer or keyboard input, whatever its own state.
//   Pointer movement over a control that takes no input reaches the frame (Frame1 MouseMove)
//   where the frame itself takes input; over a check box that does, only that check box's
//   MouseMove is raised.
// - Selecting an option button from code deselects the other one and raises no Click; the
//   user's selection raises Click once.
// - A user's click on a check box toggles it between 0 and 1 and raises nothing.
// - A check box or a combo box that takes the keyboard focus, by the pointer or the keyboard,
//   raises its GotFocus event; Focused tells whether a control has the focus now.
// - The timer, once enabled, raises a tick every interval until it is disabled or the form
//   ends; enabling it again while it runs lets the running interval continue.
// - A failure (exception) that escapes a handler is reported once with its error number and
//   ends the form with that number as exit code; nested handlers pass it to the outer one.
// - A notification from outside the window (the launch script's end) runs as one more event,
//   under the same failure rule.
// - After End, no event is raised any more.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/layout.h"

namespace addmorvane {

class Form {
 public:
  virtual ~Form() = default;

  virtual std::wstring Caption() const = 0;
  virtual void SetCaption(std::wstring_view caption) = 0;
  virtual std::wstring Text(ControlId id) const = 0;
  virtual void SetText(ControlId id, std::wstring_view text) = 0;
  virtual bool Enabled(ControlId id) const = 0;
  virtual void SetEnabled(ControlId id, bool enabled) = 0;
  virtual bool Visible(ControlId id) const = 0;
  virtual void SetVisible(ControlId id, bool visible) = 0;
  // Check boxes: 0 unchecked, 1 checked. Option buttons: 1 selected, 0 not.
  virtual std::int16_t Value(ControlId id) const = 0;
  virtual void SetValue(ControlId id, std::int16_t value) = 0;
  virtual bool Focused(ControlId id) const = 0;
  virtual bool TimerEnabled() const = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;
  // Runs `notification` as an event of the window's; nothing once the form has ended.
  virtual void Notify(const std::function<void()>& notification) = 0;
  // While `reason` is not empty, the window asks Windows to hold off the end of the session (a
  // restart or sign-out that asks the programs first), giving `reason` as its cause; empty lets
  // it go on. Best effort: a forced end ignores it.
  virtual void SetEndSessionHold(std::wstring_view reason) = 0;
  // Closes the window and ends the program with `exitCode`.
  virtual void End(int exitCode) = 0;
};

}  // namespace addmorvane
