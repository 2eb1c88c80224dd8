// Plain-controls baseline for ./bench: the program's own window and controls, built by the same
// window layer from the same layout table, but with no event handlers and no run script. What
// the program costs beyond it is the cost of its handlers and start-up work.
#include <windows.h>

#include "app/win32/form_window.h"
#include "platform/system_error.h"

namespace {

class IgnoredEvents final : public addmorvane::EventSink {
 public:
  void OnEvent(addmorvane::ControlId, addmorvane::Event) override {}
  void OnTimer() override {}
};

class NoActions final : public addmorvane::SystemActions {
 public:
  addmorvane::OpenResult ShellOpen(const std::wstring&, addmorvane::ShowCommand) override {
    return {};
  }
  unsigned long RequestRestart() override { return 0; }
  void PutClipboardText(std::wstring_view) override {}
  std::optional<std::wstring> ClipboardText() override { return std::nullopt; }
  void WriteRunScript(std::wstring_view) override {}
  std::wstring ExecutableFolder() override { return {}; }
  void ReportFailure(unsigned long, const std::wstring&) override {}
  void ShowMessage(const std::wstring&) override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  IgnoredEvents sink;
  NoActions actions;
  addmorvane::FormWindow window(sink, actions);
  try {
    window.Create();
  } catch (const addmorvane::SystemError&) {
    return 1;
  }
  window.Show();
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!window.PreTranslateMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
