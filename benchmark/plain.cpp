// Plain-controls baseline for ./bench: the program's own window and controls, built by the same
// window layer from the same layout table, but with no event handlers and no run script. What
// the program costs beyond it is the cost of its handlers and start-up work.
#include <windows.h>

#include "app/win32/form_window.h"
#include "inert_form.h"
#include "base/system_error.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  addmorvane::bench::IgnoredEvents sink;
  addmorvane::bench::NoActions actions;
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
