// Bare-press baseline for ./bench: one window with a button "выполнить" whose click handler
// asks the shell to open the launch script hidden, with the same call as the program's own
// shell route, straight from the handler. What the program's press costs beyond it is its own
// work around that call.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "bench_window.h"

namespace {

constexpr int kButtonId = 1;

void Press(HWND window) {
  // The title tells the bench that the press was taken, as the program's waiting title does.
  SetWindowTextW(window, L"bench_bare: pressed");
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = L"C:\\morvane1.bat";
  info.lpParameters = L"";
  info.lpDirectory = L"";
  info.nShow = SW_HIDE;
  ShellExecuteExW(&info);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
    Press(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The shell's call wants a single-threaded apartment on the calling thread.
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    return 1;
  }
  const HWND window = addmorvane::bench::CreateTopLevelWindow(instance, L"bench_bare", &WindowProc);
  if (window == nullptr ||
      CreateWindowExW(0, L"BUTTON", L"выполнить", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 160, 110,
                      150, 40, window, reinterpret_cast<HMENU>(kButtonId), instance,
                      nullptr) == nullptr) {
    return 1;
  }
  const int quit = addmorvane::bench::ShowAndRun(window);
  CoUninitialize();
  return quit;
}
