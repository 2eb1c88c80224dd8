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

// The keyboard gets the pointer's hints: only an enabled flag or list can take the focus, as
// only an enabled one takes the pointer.
void MainForm::Check1_GotFocus() {
  Check1_MouseMove();
}
void MainForm::Check2_GotFocus() {
  Check2_MouseMove();
}
void MainForm::Check3_GotFocus() {
  Check3_MouseMove();
}
void MainForm::Check4_GotFocus() {
  Check4_MouseMove();
}
void MainForm::Check5_GotFocus() {
  Check5_MouseMove();
}
void MainForm::Combo1_GotFocus() {
  Frame1_MouseMove();
}
void MainForm::Combo2_GotFocus() {
  Frame1_MouseMove();
}

// Runs after the cascade's own handler of the choice. A choice in a list without the focus (the
// mouse wheel over it) is the pointer's, which describes nothing.
void MainForm::Combo1_FocusedClick() {
  if (form_.Focused(ControlId::Combo1)) {
    Frame1_MouseMove();
  }
}
void MainForm::Combo2_FocusedClick() {
  if (form_.Focused(ControlId::Combo2)) {
    Frame1_MouseMove();
  }
}

}  // namespace addmorvane
