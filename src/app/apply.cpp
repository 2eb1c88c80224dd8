#include "app/captions.h"
#include "app/main_form.h"
#include "runscript/compose.h"

namespace addmorvane {

// "применить": the choice becomes the tester's command line, on the clipboard for the user,
// in Text1, in the run script and in the title.
void MainForm::Command3_Click() {
  FlagValues flags{};
  for (std::size_t i = 0; i < flags.size(); ++i) {
    flags[i] = form_.Value(kFlagControls[i]);
  }
  const std::wstring cycle = form_.Text(ControlId::Combo1);
  const std::wstring pass = form_.Text(ControlId::Combo2);
  if (const auto commandLine = ComposeCommandLine(cycle, pass, flags)) {
    actions_.PutClipboardText(*commandLine);
    // Another program may change the clipboard in between; nothing but the user's own choice
    // may reach a script that runs unattended at boot.
    const auto readBack = actions_.ClipboardText();
    form_.SetText(ControlId::Text1, readBack == commandLine ? *readBack : *commandLine);
    actions_.WriteRunScript(form_.Text(ControlId::Text1));
  }
  form_.SetCaption(std::wstring(kFormCaption) + L" " + form_.Text(ControlId::Text1));
}

}  // namespace addmorvane
