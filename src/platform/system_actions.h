// What the program does beyond its own window: the shell's open operation, the restart
// request, the clipboard, the run script on disk, the program's folder and the messages to
// the user. The handlers reach the system only through this; the tests substitute recorders,
// since the real restart would end the test and the real shell reaches outside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace addmorvane {

enum class ShowCommand { Hidden, Maximized };

class SystemActions {
 public:
  virtual ~SystemActions() = default;

  // The shell's "open" for `path`, no owner, parameters or working folder. Returns 0 when the
  // shell started it, else the system's error number for why it could not.
  virtual unsigned long ShellOpen(const std::wstring& path, ShowCommand show) = 0;

  // Asks Windows to restart (no forcing); returns the system's error number, 0 on success.
  virtual unsigned long RequestRestart() = 0;

  // Makes `text` the clipboard's text; throws SystemError when the clipboard cannot be had.
  virtual void PutClipboardText(std::wstring_view text) = 0;
  // The clipboard's text, or nothing when it holds none.
  virtual std::optional<std::wstring> ClipboardText() = 0;

  // Replaces the run script whole, with `commandLine` as its first line; throws SystemError
  // and leaves the old script whole when it cannot.
  virtual void WriteRunScript(std::wstring_view commandLine) = 0;

  // The folder that holds the program's executable, without a trailing separator.
  virtual std::wstring ExecutableFolder() = 0;

  // Tells the user that `action` failed with system error `code`, quoting the system's text,
  // in a message that the user closes.
  virtual void ReportFailure(unsigned long code, const std::wstring& action) = 0;
};

}  // namespace addmorvane
