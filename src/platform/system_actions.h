// What the program does beyond its own window and files: the shell's open operation, the
// restart request and the failure report. The in-process tests substitute a recorder, since
// the real restart would end the test and the real shell reaches outside it.
#pragma once

#include <string>

namespace addmorvane {

enum class ShowCommand { Hidden, Maximized };

// What became of a request to open a file.
struct OpenResult {
  unsigned long error = 0;  // the system's error number when the file could not be opened
  std::wstring refusal;     // the whole message when the program would not open it
  bool opened() const { return error == 0 && refusal.empty(); }
};

class SystemActions {
 public:
  virtual ~SystemActions() = default;

  // The shell's "open" for `path`, no owner, parameters or working folder, with the rights
  // of the user's own desktop shell. Where that shell runs with full rights, or there is
  // none, only a file that nobody else can change is opened; any other is refused.
  virtual OpenResult ShellOpen(const std::wstring& path, ShowCommand show) = 0;

  // Asks Windows to restart (no forcing); returns the system's error number, 0 on success.
  virtual unsigned long RequestRestart() = 0;

  // Tells the user what failed, in a message that the user closes.
  virtual void ShowMessage(const std::wstring& text) = 0;
};

// The real thing, for the program itself.
SystemActions& WindowsSystemActions();

}  // namespace addmorvane
