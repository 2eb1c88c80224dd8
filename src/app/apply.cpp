#include "app/main_form.h"
#include "platform/clipboard.h"
#include "runscript/compose.h"
#include "runscript/write_run_script.h"

namespace addmorvane {

// "применить": the choice becomes the tester's command line, on the clipboard for the user,
// in Text1, in the run script and in the title.
void MainForm::Command3_Click() {
  const FlagValues flags = {
      window_.Value(ControlId::Check1), window_.Value(ControlId::Check2),
      window_.Value(ControlId::Check3), window_.Value(ControlId::Check4),
      window_.Value(ControlId::Check5),
  };
  const std::wstring cycle = window_.Text(ControlId::Combo1);
  const std::wstring pass = window_.Text(ControlId::Combo2);
  if (const auto commandLine = ComposeCommandLine(cycle, pass, flags)) {
    PutClipboardText(window_.hwnd(), *commandLine);
    // Another program may change the clipboard in between; nothing but the user's own choice
    // may reach a script that runs unattended at boot.
    const auto readBack = ClipboardText(window_.hwnd());
    window_.SetText(ControlId::Text1, readBack == commandLine ? *readBack : *commandLine);
    WriteRunScript(window_.Text(ControlId::Text1));
  }
  window_.SetCaption(std::wstring(kFormCaption) + L" " + window_.Text(ControlId::Text1));
}

}  // namespace addmorvane
