// A receiver and a system that do nothing, for the bench programs that build the program's own
// window without its handlers: the window and its controls, and nothing they would start.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/events.h"
#include "base/system_actions.h"

namespace addmorvane::bench {

class IgnoredEvents final : public EventSink {
 public:
  void OnEvent(ControlId, Event) override {}
  void OnTimer() override {}
};

class NoActions final : public SystemActions {
 public:
  OpenResult StartLaunchScript(std::function<void(ScriptEnd)>) override { return {}; }
  OpenResult ShellOpen(const std::wstring&, ShowCommand) override { return {}; }
  unsigned long RequestRestart() override { return 0; }
  void PutClipboardText(std::wstring_view) override {}
  std::optional<std::wstring> ClipboardText() override { return std::nullopt; }
  void WriteRunScript(std::wstring_view) override {}
  std::wstring ExecutableFolder() override { return {}; }
  void ReportFailure(unsigned long, const std::wstring&) override {}
  void ShowMessage(const std::wstring&) override {}
};

}  // namespace addmorvane::bench
