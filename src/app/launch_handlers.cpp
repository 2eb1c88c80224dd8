#include "app/captions.h"
#include "app/main_form.h"
#include "launch/launch_actions.h"
#include "launch/restart_timing.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

// "выполнить": in trial mode the tester is to run without switches; in work mode the run
// script keeps what the last "применить" wrote. The restart follows only the script's success,
// so a press while it runs, or once the restart is armed, starts nothing.
void MainForm::Command1_Click() {
  switch (launchStage_) {
    case LaunchStage::Running:
      actions_.ShowMessage(std::wstring(kScriptStillRunningText));
      return;
    case LaunchStage::GivenUp:
      actions_.ShowMessage(std::wstring(kScriptTimeLimitText));
      return;
    case LaunchStage::Armed:
      actions_.ShowMessage(std::wstring(kRestartAlreadyRequestedText));
      return;
    case LaunchStage::Idle:
      break;
  }
  if (form_.Value(ControlId::Option1) == 1) {
    actions_.WriteRunScript(kDefaultCommandLine);
  }
  captionBeforeLaunch_ = form_.Caption();
  form_.SetCaption(kWaitingCaption);
  if (!StartLaunchScript(actions_, [this](ScriptEnd end) {
        form_.Notify([this, end] { LaunchScript_End(end); });
      })) {
    RestoreCaptionAfterLaunch();
    return;
  }
  launchStage_ = LaunchStage::Running;
  ticksWhileRunning_ = 0;
  // A restart in mid-script could leave the machine half prepared (the DOS partition still at
  // its letter); the program's own restart comes only after the script's end.
  form_.SetEndSessionHold(kEndSessionHoldText);
  // While the script runs, the ticks count its time: the restart comes no sooner than one
  // interval after the press, and not at all past the time limit.
  form_.SetTimerEnabled(true);
}

void MainForm::LaunchScript_End(ScriptEnd end) {
  form_.SetEndSessionHold({});
  if (launchStage_ == LaunchStage::GivenUp) {
    launchStage_ = LaunchStage::Idle;
    return;
  }
  if (launchStage_ != LaunchStage::Running) {
    return;
  }
  if (end.error != 0 || end.exitCode != 0) {
    launchStage_ = LaunchStage::Idle;
    form_.SetTimerEnabled(false);
    RestoreCaptionAfterLaunch();
    ReportScriptEnd(actions_, end);
    return;
  }
  launchStage_ = LaunchStage::Armed;
  if (ticksWhileRunning_ > 0) {
    // The interval since the press has passed: ask now, and every interval from now on.
    form_.SetTimerEnabled(false);
    form_.SetTimerEnabled(true);
    RequestRestartOnce();
  }
}

void MainForm::Timer1_Timer() {
  if (launchStage_ == LaunchStage::Running) {
    ++ticksWhileRunning_;
    if (ticksWhileRunning_ * kRestartIntervalMs >= kScriptTimeLimitMs) {
      launchStage_ = LaunchStage::GivenUp;
      form_.SetTimerEnabled(false);
      RestoreCaptionAfterLaunch();
      actions_.ShowMessage(std::wstring(kScriptTimeLimitText));
    }
    return;
  }
  if (launchStage_ == LaunchStage::Armed) {
    RequestRestartOnce();
  }
}

// A request that the system refuses is made again on every tick; the refusal is told once, the
// restart being armed once at most, and marked as told before the message opens, since the
// message's own loop goes on delivering ticks.
void MainForm::RequestRestartOnce() {
  const unsigned long error = RequestRestart(actions_);
  if (IsRestartRefusal(error) && !restartRefusalTold_) {
    restartRefusalTold_ = true;
    ReportRestartRefusal(actions_, error);
  }
}

// The title from before the press comes back only while the waiting title still shows: a
// handler that set another one since then has the last word.
void MainForm::RestoreCaptionAfterLaunch() {
  if (form_.Caption() == kWaitingCaption) {
    form_.SetCaption(captionBeforeLaunch_);
  }
}

void MainForm::Command4_Click() {
  OpenHelp(actions_);
}

void MainForm::Command2_Click() {
  form_.End(0);
}

}  // namespace addmorvane
