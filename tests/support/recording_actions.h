// A stand-in for the system that records what the handlers ask of it. Where a test wants the
// real clipboard and the real run script (under Wine), it passes the real actions, and the
// recorder forwards those calls after recording them.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/system_actions.h"

namespace addmorvane::test {

struct ShellCall {
  std::wstring path;
  ShowCommand show;
  bool operator==(const ShellCall&) const = default;
};

struct ReportedFailure {
  unsigned long code;
  std::wstring action;
  bool operator==(const ReportedFailure&) const = default;
};

class RecordingActions : public SystemActions {
 public:
  explicit RecordingActions(SystemActions* real = nullptr) : real_(real) {}

  OpenResult StartLaunchScript(std::function<void(ScriptEnd)> ended) override;
  OpenResult ShellOpen(const std::wstring& path, ShowCommand show) override;
  unsigned long RequestRestart() override;
  void PutClipboardText(std::wstring_view text) override;
  std::optional<std::wstring> ClipboardText() override;
  void WriteRunScript(std::wstring_view commandLine) override;
  std::wstring ExecutableFolder() override;
  void ReportFailure(unsigned long code, const std::wstring& action) override;
  void ShowMessage(const std::wstring& text) override;

  // What every start of the launch script answers: started, unless a test says otherwise.
  OpenResult launchResult;
  // Ends the launch script that runs, as its process would end; false when none runs.
  bool EndLaunchScript(ScriptEnd end);
  // What every open answers: the file opened, unless a test says otherwise; by file name
  // (the part after the last separator) where `shellResultFor` names it.
  OpenResult shellResult;
  std::map<std::wstring, OpenResult> shellResultFor;
  // Called at each restart request (for the time it came, say).
  std::function<void()> onRestart;
  // What every restart request answers.
  unsigned long restartError = 0;
  // Called while a message is open, as its own loop would deliver the window's events.
  std::function<void()> whileMessageOpen;
  // Run-script writes throw this error number when it is not 0.
  unsigned long writeError = 0;
  // What another program puts on the clipboard between put and read-back, if anything.
  std::optional<std::wstring> clipboardIntruder;
  std::wstring executableFolder = L"D:\\Программы\\addmorvane";

  int launchStarts = 0;
  std::vector<ShellCall> shellCalls;
  int restartRequests = 0;
  std::vector<std::wstring> clipboardPuts;
  std::optional<std::wstring> clipboard;
  std::vector<std::wstring> runScriptWrites;
  std::vector<ReportedFailure> failures;
  std::vector<std::wstring> messages;  // what ShowMessage was given

 private:
  SystemActions* real_;
  std::function<void(ScriptEnd)> launchEnded_;
};

}  // namespace addmorvane::test
