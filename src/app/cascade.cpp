#include "app/captions.h"
#include "app/hints.h"
#include "app/main_form.h"
#include "runscript/vocabulary.h"

namespace addmorvane {
// Emptying the cycle switch closes everything behind it; the flags keep their check marks.
void MainForm::Combo1_Change() {
  if (!form_.Text(ControlId::Combo1).empty()) {
    return;
  }
  form_.SetEnabled(ControlId::Combo2, false);
  form_.SetText(ControlId::Combo2, L"");
  for (const ControlId flag : kFlagControls) {
    form_.SetEnabled(flag, false);
  }
  form_.SetText(ControlId::Label3, kIdleHint);
}

// Only a cycle switch chosen from the list opens the pass switch; typing never does.
void MainForm::Combo1_Click() {
  if (form_.Text(ControlId::Combo1).empty()) {
    return;
  }
  form_.SetEnabled(ControlId::Combo2, true);
}

void MainForm::Combo2_Click() {
  if (form_.Text(ControlId::Combo2).empty()) {
    return;
  }
  for (const ControlId flag : kFlagControls) {
    form_.SetEnabled(flag, true);
  }
}

// Trial mode: every choice is cleared and the tester will run without switches.
void MainForm::Option1_Click() {
  form_.SetEnabled(ControlId::Frame1, false);
  form_.SetText(ControlId::Combo1, L"");
  form_.SetText(ControlId::Combo2, L"");
  for (const ControlId flag : kFlagControls) {
    form_.SetValue(flag, 0);
  }
  form_.SetCaption(kFormCaption);
  actions_.WriteRunScript(kDefaultCommandLine);
}

void MainForm::Option2_Click() {
  form_.SetEnabled(ControlId::Frame1, true);
}

}  // namespace addmorvane
