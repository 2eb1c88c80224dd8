#include "app/hints.h"
#include "app/main_form.h"
#include "runscript/vocabulary.h"
#include "runscript/write_run_script.h"

namespace addmorvane {

void MainForm::Form_Load() {
  window_.SetTimerEnabled(false);
  window_.SetEnabled(ControlId::Combo2, false);
  window_.SetVisible(ControlId::Text1, false);
  window_.SetText(ControlId::Label3, kIdleHint);
  window_.SetEnabled(ControlId::Check1, false);
  window_.SetEnabled(ControlId::Check2, false);
  window_.SetEnabled(ControlId::Check3, false);
  window_.SetEnabled(ControlId::Check4, false);
  window_.SetEnabled(ControlId::Check5, false);
  window_.SetValue(ControlId::Option1, 1);
  window_.SetEnabled(ControlId::Frame1, false);
  WriteRunScript(kDefaultCommandLine);
}

}  // namespace addmorvane
