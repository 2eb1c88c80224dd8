// Empty-window baseline for ./bench: one window class, one window of the program's size, the
// message loop. What every window program pays for under the same toolchain.
#include <windows.h>

#include "bench_window.h"

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const HWND window =
      addmorvane::bench::CreateTopLevelWindow(instance, L"bench_empty", &WindowProc);
  return window == nullptr ? 1 : addmorvane::bench::ShowAndRun(window);
}
