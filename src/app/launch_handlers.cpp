#include "app/captions.h"
#include "app/main_form.h"
#include "launch/launch_actions.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

// "выполнить": in trial mode the tester is to run without switches; in work mode the run
// script keeps what the last "применить" wrote.
void MainForm::Command1_Click() {
  if (form_.Value(ControlId::Option1) == 1) {
    actions_.WriteRunScript(kDefaultCommandLine);
  }
  const std::wstring previousCaption = form_.Caption();
  form_.SetCaption(kWaitingCaption);
  // A launch that never started must not be followed by a restart; an earlier press's
  // requests go on, since only "выход" or the close box stop them.
  if (!OpenLaunchScript(actions_, form_.TimerEnabled())) {
    form_.SetCaption(previousCaption);
    return;
  }
  restartRefusalTold_ = false;
  form_.SetTimerEnabled(true);
}

// A request that the system refuses is made again on every tick; the refusal is told once for
// each arming, and marked as told before the message opens, since the message's own loop goes
// on delivering ticks.
void MainForm::Timer1_Timer() {
  const unsigned long error = RequestRestart(actions_);
  if (IsRestartRefusal(error) && !restartRefusalTold_) {
    restartRefusalTold_ = true;
    ReportRestartRefusal(actions_, error);
  }
}

void MainForm::Command4_Click() {
  OpenHelp(actions_);
}

void MainForm::Command2_Click() {
  form_.End(0);
}

}  // namespace addmorvane
