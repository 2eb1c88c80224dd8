// The program's window and its handlers, wired to each other.
#pragma once

#include "app/main_form.h"
#include "app/win32/form_window.h"
#include "base/system_actions.h"

namespace addmorvane {

class Program {
 public:
  explicit Program(SystemActions& actions, unsigned timerIntervalMs = kRestartIntervalMs)
      : window_(relay_, actions, timerIntervalMs), handlers_(window_, actions) {
    relay_.target = &handlers_;
  }

  // Creates the window, runs Form_Load and shows the window. A failure on the way throws
  // before anything is shown.
  void Start() {
    window_.Create();
    handlers_.Form_Load();
    window_.Show();
  }

  FormWindow& window() { return window_; }

 private:
  // The window needs its events' receiver when it is built, and the handlers need the window:
  // the relay, built first, lets each bind only to what already exists.
  class Relay final : public EventSink {
   public:
    void OnEvent(ControlId control, Event event) override { target->OnEvent(control, event); }
    void OnTimer() override { target->OnTimer(); }
    EventSink* target = nullptr;
  };

  Relay relay_;
  FormWindow window_;
  MainForm handlers_;
};

}  // namespace addmorvane
