#include "app/main_form.h"

namespace addmorvane {

void MainForm::OnEvent(ControlId control, Event event) {
  using Handler = void (MainForm::*)();
  struct Binding {
    ControlId control;
    Event event;
    Handler handler;
  };
  static constexpr Binding kBindings[] = {
      {ControlId::Combo1, Event::Change, &MainForm::Combo1_Change},
      {ControlId::Combo1, Event::Click, &MainForm::Combo1_Click},
      {ControlId::Combo2, Event::Click, &MainForm::Combo2_Click},
      {ControlId::Option1, Event::Click, &MainForm::Option1_Click},
      {ControlId::Option2, Event::Click, &MainForm::Option2_Click},
      {ControlId::Check1, Event::MouseMove, &MainForm::Check1_MouseMove},
      {ControlId::Check2, Event::MouseMove, &MainForm::Check2_MouseMove},
      {ControlId::Check3, Event::MouseMove, &MainForm::Check3_MouseMove},
      {ControlId::Check4, Event::MouseMove, &MainForm::Check4_MouseMove},
      {ControlId::Check5, Event::MouseMove, &MainForm::Check5_MouseMove},
      {ControlId::Frame1, Event::MouseMove, &MainForm::Frame1_MouseMove},
      {ControlId::Check1, Event::GotFocus, &MainForm::Check1_GotFocus},
      {ControlId::Check2, Event::GotFocus, &MainForm::Check2_GotFocus},
      {ControlId::Check3, Event::GotFocus, &MainForm::Check3_GotFocus},
      {ControlId::Check4, Event::GotFocus, &MainForm::Check4_GotFocus},
      {ControlId::Check5, Event::GotFocus, &MainForm::Check5_GotFocus},
      {ControlId::Combo1, Event::GotFocus, &MainForm::Combo1_GotFocus},
      {ControlId::Combo2, Event::GotFocus, &MainForm::Combo2_GotFocus},
      {ControlId::Combo1, Event::Click, &MainForm::Combo1_FocusedClick},
      {ControlId::Combo2, Event::Click, &MainForm::Combo2_FocusedClick},
      {ControlId::Command3, Event::Click, &MainForm::Command3_Click},
      {ControlId::Command1, Event::Click, &MainForm::Command1_Click},
      {ControlId::Command4, Event::Click, &MainForm::Command4_Click},
      {ControlId::Command2, Event::Click, &MainForm::Command2_Click},
  };
  // An event may have more than one handler; they run in the table's order.
  for (const Binding& binding : kBindings) {
    if (binding.control == control && binding.event == event) {
      (this->*binding.handler)();
    }
  }
}

void MainForm::OnTimer() {
  Timer1_Timer();
}

}  // namespace addmorvane
