#pragma once

#include "app/layout.h"

namespace addmorvane {

enum class Event {
  Click,      // a button press, an option selected, a list entry chosen
  Change,     // a combo box's or text box's text changed, by typing or from code
  MouseMove,  // the pointer moved over a control that takes input
  GotFocus,   // a check box or a combo box took the keyboard focus
};

// Receives the window's notifications, one at a time, on the window's thread.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnEvent(ControlId control, Event event) = 0;
  virtual void OnTimer() = 0;
};

}  // namespace addmorvane
