// What the program does beyond its own window: the launch script, the shell's open operation,
// the restart request, the clipboard, the run script on disk, the program's folder and the
// messages to the user. The handlers reach the system only through this; the tests substitute
// recorders, since the real restart would end the test and the real shell reaches outside it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace addmorvane {

enum class ShowCommand { Hidden, Maximized };

// What became of a request to open a file.
struct OpenResult {
  unsigned long error = 0;  // the system's error number when the file could not be opened
  std::wstring refusal;     // the whole message when the program would not open it
  // The shell took the request and did not answer in time: the file may still start.
  bool unconfirmed = false;
  // No shell with the desk's own rights could be asked: nothing was opened, and the file is
  // the user's to open by hand.
  bool byHand = false;
  bool opened() const { return error == 0 && refusal.empty() && !unconfirmed && !byHand; }
};

// How the launch script ended: its exit code, or the system's error number where the program
// could not learn it.
struct ScriptEnd {
  unsigned long exitCode = 0;
  unsigned long error = 0;
};

class SystemActions {
 public:
  virtual ~SystemActions() = default;

  // Starts the launch script hidden, with the program's own rights, and returns at once: the
  // result says whether it started. Only a script that nobody else can change is started;
  // otherwise the result carries the refusal. Once a started script has ended, `ended` is
  // called on the window's thread, from its message loop, as one more of the window's
  // notifications.
  virtual OpenResult StartLaunchScript(std::function<void(ScriptEnd)> ended) = 0;

  // The shell's "open" for `path`, no owner, parameters or working folder, with the rights
  // of the user's own desktop shell, never with the program's. Where that shell runs with full
  // rights, only a file that nobody else can change is opened; any other is refused. Where
  // there is none, nothing is opened (`byHand`).
  virtual OpenResult ShellOpen(const std::wstring& path, ShowCommand show) = 0;

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
  // Tells the user `text`, in a message that the user closes.
  virtual void ShowMessage(const std::wstring& text) = 0;
};

}  // namespace addmorvane
