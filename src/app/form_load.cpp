#include "app/hints.h"
#include "app/main_form.h"
#include "runscript/vocabulary.h"

namespace addmorvane {

void MainForm::Form_Load() {
  form_.SetTimerEnabled(false);
  form_.SetEnabled(ControlId::Combo2, false);
  form_.SetVisible(ControlId::Text1, false);
  form_.SetText(ControlId::Label3, kIdleHint);
  for (const ControlId flag : kFlagControls) {
    form_.SetEnabled(flag, false);
  }
  form_.SetValue(ControlId::Option1, 1);
  form_.SetEnabled(ControlId::Frame1, false);
  actions_.WriteRunScript(kDefaultCommandLine);
}

}  // namespace addmorvane
