#include "app/main_form.h"
#include "launch/launch_actions.h"
#include "runscript/vocabulary.h"
#include "runscript/write_run_script.h"

namespace addmorvane {

// "выполнить": in trial mode the tester is to run without switches; in work mode the run
// script keeps what the last "применить" wrote.
void MainForm::Command1_Click() {
  if (window_.Value(ControlId::Option1) == 1) {
    WriteRunScript(kDefaultCommandLine);
  }
  const std::wstring previousCaption = window_.Caption();
  window_.SetCaption(kWaitingCaption);
  // A launch that never started must not be followed by a restart.
  if (!OpenLaunchScript(actions_)) {
    window_.SetCaption(previousCaption);
    return;
  }
  window_.SetTimerEnabled(true);
}

void MainForm::Timer1_Timer() {
  RequestRestart(actions_);
}

void MainForm::Command4_Click() {
  OpenHelp(actions_);
}

void MainForm::Command2_Click() {
  window_.End(0);
}

}  // namespace addmorvane
