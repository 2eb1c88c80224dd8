#include "recording_actions.h"

#include <utility>

#include "base/system_error.h"

namespace addmorvane::test {

OpenResult RecordingActions::StartLaunchScript(std::function<void(ScriptEnd)> ended) {
  ++launchStarts;
  if (launchResult.opened()) {
    launchEnded_ = std::move(ended);
  }
  return launchResult;
}

bool RecordingActions::EndLaunchScript(ScriptEnd end) {
  if (!launchEnded_) {
    return false;
  }
  std::exchange(launchEnded_, nullptr)(end);
  return true;
}

OpenResult RecordingActions::ShellOpen(const std::wstring& path, ShowCommand show) {
  shellCalls.push_back({path, show});
  const auto named = shellResultFor.find(path.substr(path.find_last_of(L'\\') + 1));
  return named != shellResultFor.end() ? named->second : shellResult;
}

unsigned long RecordingActions::RequestRestart() {
  ++restartRequests;
  if (onRestart) {
    onRestart();
  }
  return restartError;
}

void RecordingActions::PutClipboardText(std::wstring_view text) {
  clipboardPuts.emplace_back(text);
  if (real_ != nullptr) {
    real_->PutClipboardText(text);
  } else {
    clipboard = clipboardIntruder ? *clipboardIntruder : std::wstring(text);
  }
}

std::optional<std::wstring> RecordingActions::ClipboardText() {
  return real_ != nullptr ? real_->ClipboardText() : clipboard;
}

void RecordingActions::WriteRunScript(std::wstring_view commandLine) {
  if (writeError != 0) {
    throw SystemError(writeError, L"Не удалось записать файл C:\\morvane.bat.");
  }
  if (real_ != nullptr) {
    real_->WriteRunScript(commandLine);
  }
  runScriptWrites.emplace_back(commandLine);
}

std::wstring RecordingActions::ExecutableFolder() {
  return real_ != nullptr ? real_->ExecutableFolder() : executableFolder;
}

void RecordingActions::ReportFailure(unsigned long code, const std::wstring& action) {
  failures.push_back({code, action});
  if (whileMessageOpen) {
    whileMessageOpen();
  }
}

void RecordingActions::ShowMessage(const std::wstring& text) {
  messages.push_back(text);
}

}  // namespace addmorvane::test
