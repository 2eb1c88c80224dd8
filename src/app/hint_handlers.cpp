#include "app/hints.h"
#include "app/main_form.h"

namespace addmorvane {

void MainForm::ShowFlagHint(std::size_t flag) {
  form_.SetText(ControlId::Label3, FlagHint(flag));
}

void MainForm::Check1_MouseMove() {
  ShowFlagHint(0);
}
void MainForm::Check2_MouseMove() {
  ShowFlagHint(1);
}
void MainForm::Check3_MouseMove() {
  ShowFlagHint(2);
}
void MainForm::Check4_MouseMove() {
  ShowFlagHint(3);
}
void MainForm::Check5_MouseMove() {
  ShowFlagHint(4);
}

// Describes the chosen switches; a text that is not a switch leaves its label as it was.
void MainForm::Frame1_MouseMove() {
  if (const auto cycle = CycleDescription(form_.Text(ControlId::Combo1))) {
    form_.SetText(ControlId::Label1, *cycle);
  }
  if (const auto pass = PassDescription(form_.Text(ControlId::Combo2))) {
    form_.SetText(ControlId::Label2, *pass);
  }
}

}  // namespace addmorvane
