// The form in memory, for tests: the same properties and events as the real window, kept to
// the same contract (app/form.h; the contract suite runs against both), with the user's
// gestures as plain calls and a clock that the test advances.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/events.h"
#include "app/form.h"
#include "app/handler_guard.h"
#include "app/layout.h"
#include "launch/restart_timing.h"
#include "base/system_actions.h"

namespace addmorvane::test {

class MemoryForm final : public Form {
 public:
  MemoryForm(EventSink& sink,
             SystemActions& actions,
             unsigned timerIntervalMs = kRestartIntervalMs);

  // Form.
  std::wstring Caption() const override { return caption_; }
  void SetCaption(std::wstring_view caption) override { caption_ = caption; }
  std::wstring Text(ControlId id) const override { return At(id).text; }
  void SetText(ControlId id, std::wstring_view text) override;
  bool Enabled(ControlId id) const override { return At(id).enabled; }
  void SetEnabled(ControlId id, bool enabled) override { At(id).enabled = enabled; }
  bool Visible(ControlId id) const override { return At(id).visible; }
  void SetVisible(ControlId id, bool visible) override { At(id).visible = visible; }
  std::int16_t Value(ControlId id) const override { return At(id).value; }
  void SetValue(ControlId id, std::int16_t value) override;
  bool Focused(ControlId id) const override { return focus_ == id; }
  bool TimerEnabled() const override { return timerEnabled_; }
  void SetTimerEnabled(bool enabled) override;
  void Notify(const std::function<void()>& notification) override {
    if (!ended()) {
      guard_.Run(notification);
    }
  }
  void End(int exitCode) override;
  void SetEndSessionHold(std::wstring_view reason) override { endSessionHold_ = reason; }
  // What the window answers Windows' question whether the session may end, and the reason it
  // gives when not.
  bool SessionMayEnd() const { return endSessionHold_.empty(); }
  const std::wstring& EndSessionHold() const { return endSessionHold_; }

  // What a user can do; each gesture does only what real controls would let through.
  // A pointer click: presses a button, selects an option button, toggles a check box.
  void Click(ControlId id);
  // Opens the combo box's list and chooses the entry at `index` (or the arrow keys do).
  void ChooseFromList(ControlId combo, std::size_t index);
  // The mouse wheel over the list chooses the entry at `index`; the focus stays where it is.
  void Wheel(ControlId combo, std::size_t index);
  // Tab or an arrow key brings the focus onto the control, as a click or typing does.
  void Focus(ControlId id);
  // Types `text` at the end of the combo box's field, one character at a time.
  void Type(ControlId combo, std::wstring_view text);
  // Deletes the last character of the combo box's field (Backspace).
  void Backspace(ControlId combo);
  // Moves the pointer onto the control.
  void MoveOver(ControlId id);
  // Lets `ms` milliseconds pass on the form's clock: timer ticks fall due.
  void AdvanceTime(unsigned ms);
  // The window's close box.
  void CloseBox() { End(0); }

  bool ended() const { return exitCode_.has_value(); }
  std::optional<int> exitCode() const { return exitCode_; }
  // Whether the control takes the user's input now: visible, enabled, and in an enabled
  // frame if it lies in one.
  bool TakesInput(ControlId id) const;

 private:
  struct Control {
    std::wstring text;
    bool enabled = true;
    bool visible = true;
    std::int16_t value = 0;
  };

  Control& At(ControlId id) { return controls_.at(ControlIndex(id)); }
  const Control& At(ControlId id) const { return controls_.at(ControlIndex(id)); }
  void Raise(ControlId id, Event event);
  void EditText(ControlId combo, std::wstring text);

  EventSink& sink_;
  HandlerGuard guard_;
  unsigned timerIntervalMs_;
  std::array<Control, kControlCount> controls_{};
  std::wstring caption_;
  std::wstring endSessionHold_;
  bool timerEnabled_ = false;
  unsigned long long now_ = 0;
  unsigned long long nextTick_ = 0;
  std::optional<int> exitCode_;
  std::optional<ControlId> focus_;
};

}  // namespace addmorvane::test
