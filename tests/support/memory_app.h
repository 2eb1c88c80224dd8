// The program's handlers on the in-memory form, started as the program starts them.
#pragma once

#include <string>

#include "app/main_form.h"
#include "memory_form.h"
#include "recording_actions.h"

namespace addmorvane::test {

struct MemoryApp {
  explicit MemoryApp(RecordingActions& actions, unsigned timerIntervalMs = kRestartIntervalMs)
      : form(handlers, actions, timerIntervalMs), handlers(form, actions) {
    handlers.Form_Load();
  }

  // The cascade's whole state in one line, so that a failure shows all of it: the frame, the
  // two combo boxes (text/enabled), the flags (enabled and value) and the hint label.
  std::wstring State() const {
    std::wstring state = L"frame=" + std::to_wstring(form.Enabled(ControlId::Frame1)) +
                         L" combo1='" + form.Text(ControlId::Combo1) + L"' combo2='" +
                         form.Text(ControlId::Combo2) + L"'/" +
                         std::to_wstring(form.Enabled(ControlId::Combo2)) + L" flags=";
    for (const ControlId flag : kFlagControls) {
      state += std::to_wstring(form.Enabled(flag)) + std::to_wstring(form.Value(flag)) + L" ";
    }
    return state + L"label3='" + form.Text(ControlId::Label3) + L"'";
  }

  MemoryForm form;
  MainForm handlers;
};

}  // namespace addmorvane::test
