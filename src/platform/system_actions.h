// What the program does beyond its own window and files: the shell's open operation, the
// restart request and the failure report. The in-process tests substitute a recorder, since
// the real restart would end the test and the real shell reaches outside it.
#pragma once

#include <cstdint>
#include <string>

namespace addmorvane {

enum class ShowCommand { Hidden, Maximized };

class SystemActions {
 public:
  virtual ~SystemActions() = default;

  // The shell's "open" for `path`, no owner, parameters or working folder. Returns the
  // shell's result: greater than 32 on success, an error number otherwise.
  virtual std::intptr_t ShellOpen(const std::wstring& path, ShowCommand show) = 0;

  // Asks Windows to restart (no forcing); returns the system's error number, 0 on success.
  virtual unsigned long RequestRestart() = 0;

  // Tells the user what failed, in a message that the user closes.
  virtual void ShowMessage(const std::wstring& text) = 0;
};

// The real thing, for the program itself.
SystemActions& WindowsSystemActions();

}  // namespace addmorvane
