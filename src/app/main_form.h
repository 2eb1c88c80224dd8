// The program's one window and its event handlers. The handlers keep no state of their
// own: everything they know they read from the controls.
#pragma once

#include "app/events.h"
#include "app/form_window.h"
#include "platform/system_actions.h"

namespace addmorvane {

inline constexpr std::wstring_view kWaitingCaption = L"add morvane-ждите идет загрузка";

class MainForm final : public EventSink {
 public:
  explicit MainForm(SystemActions& actions);

  // Creates the window, runs Form_Load and shows the window. A failure on the way throws
  // SystemError before anything is shown.
  void Start();

  FormWindow& window() { return window_; }

  void OnEvent(ControlId control, Event event) override;
  void OnTimer() override;

  // Start-up.
  void Form_Load();
  // Modes and the switch cascade.
  void Combo1_Change();
  void Combo1_Click();
  void Combo2_Click();
  void Option1_Click();
  void Option2_Click();
  // Hints.
  void Check1_MouseMove();
  void Check2_MouseMove();
  void Check3_MouseMove();
  void Check4_MouseMove();
  void Check5_MouseMove();
  void Frame1_MouseMove();
  // Apply.
  void Command3_Click();
  // Run, restart, help and exit.
  void Command1_Click();
  void Timer1_Timer();
  void Command4_Click();
  void Command2_Click();

 private:
  void ShowFlagHint(std::size_t flag);

  SystemActions& actions_;
  FormWindow window_;
};

}  // namespace addmorvane
