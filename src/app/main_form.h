// The program's event handlers. Everything they know they read from the form's controls, but
// for what the launch script's run has come to (its stage, the ticks it has taken, the title
// it replaced) and whether a refused restart has been told. They reach
// the system only through SystemActions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/events.h"
#include "app/form.h"
#include "base/system_actions.h"

namespace addmorvane {

class MainForm final : public EventSink {
 public:
  MainForm(Form& form, SystemActions& actions) : form_(form), actions_(actions) {}

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
  // The same hints for the keyboard: the focus arriving, a choice made in a focused list.
  void Check1_GotFocus();
  void Check2_GotFocus();
  void Check3_GotFocus();
  void Check4_GotFocus();
  void Check5_GotFocus();
  void Combo1_GotFocus();
  void Combo2_GotFocus();
  void Combo1_FocusedClick();
  void Combo2_FocusedClick();
  // Apply.
  void Command3_Click();
  // Run, restart, help and exit.
  void Command1_Click();
  void Timer1_Timer();
  void Command4_Click();
  void Command2_Click();
  // The launch script has ended.
  void LaunchScript_End(ScriptEnd end);

 private:
  // Where "выполнить" has got to. Running: the script runs and the timer counts its time.
  // GivenUp: it ran past the time limit and still runs; its end arms nothing. Armed: it ended
  // with exit code 0, and the timer requests the restart.
  enum class LaunchStage { Idle, Running, GivenUp, Armed };

  void ShowFlagHint(std::size_t flag);
  void RequestRestartOnce();
  void RestoreCaptionAfterLaunch();

  Form& form_;
  SystemActions& actions_;
  LaunchStage launchStage_ = LaunchStage::Idle;
  unsigned ticksWhileRunning_ = 0;
  std::wstring captionBeforeLaunch_;
  bool restartRefusalTold_ = false;
};

}  // namespace addmorvane
