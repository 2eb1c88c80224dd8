// The program's window and its handlers, wired to each other.
#pragma once

#include "app/main_form.h"
#include "app/win32/form_window.h"
#include "platform/system_actions.h"

namespace addmorvane {

class Program {
 public:
  explicit Program(SystemActions& actions, unsigned timerIntervalMs = kRestartIntervalMs)
      : window_(handlers_, actions, timerIntervalMs), handlers_(window_, actions) {}

  // Creates the window, runs Form_Load and shows the window. A failure on the way throws
  // before anything is shown.
  void Start() {
    window_.Create();
    handlers_.Form_Load();
    window_.Show();
  }

  FormWindow& window() { return window_; }

 private:
  // The window only keeps a reference to the handlers until its first event.
  FormWindow window_;
  MainForm handlers_;
};

}  // namespace addmorvane
