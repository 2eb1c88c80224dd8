#include "app/hints.h"
#include "app/main_form.h"
#include "runscript/vocabulary.h"
#include "runscript/write_run_script.h"

namespace addmorvane {
namespace {

constexpr ControlId kFlags[] = {ControlId::Check1, ControlId::Check2, ControlId::Check3,
                                ControlId::Check4, ControlId::Check5};

}  // namespace

// Emptying the cycle switch closes everything behind it; the flags keep their check marks.
void MainForm::Combo1_Change() {
  if (!window_.Text(ControlId::Combo1).empty()) {
    return;
  }
  window_.SetEnabled(ControlId::Combo2, false);
  window_.SetText(ControlId::Combo2, L"");
  for (const ControlId flag : kFlags) {
    window_.SetEnabled(flag, false);
  }
  window_.SetText(ControlId::Label3, kIdleHint);
}

// Only a cycle switch chosen from the list opens the pass switch; typing never does.
void MainForm::Combo1_Click() {
  if (window_.Text(ControlId::Combo1).empty()) {
    return;
  }
  window_.SetEnabled(ControlId::Combo2, true);
}

void MainForm::Combo2_Click() {
  if (window_.Text(ControlId::Combo2).empty()) {
    return;
  }
  for (const ControlId flag : kFlags) {
    window_.SetEnabled(flag, true);
  }
}

// Trial mode: every choice is cleared and the tester will run without switches.
void MainForm::Option1_Click() {
  window_.SetEnabled(ControlId::Frame1, false);
  window_.SetText(ControlId::Combo1, L"");
  window_.SetText(ControlId::Combo2, L"");
  for (const ControlId flag : kFlags) {
    window_.SetValue(flag, 0);
  }
  window_.SetCaption(kFormCaption);
  WriteRunScript(kDefaultCommandLine);
}

void MainForm::Option2_Click() {
  window_.SetEnabled(ControlId::Frame1, true);
}

}  // namespace addmorvane
