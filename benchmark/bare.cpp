// Bare-press baseline for ./bench: one window with a button "выполнить" whose click handler
// starts the launch script hidden in the system's interpreter, with the same call as the
// program's own, straight from the handler. What the program's press costs beyond it is its
// own work around that call.
#include <windows.h>

#include <string>

#include "bench_window.h"

namespace {

constexpr int kButtonId = 1;

void Press(HWND window) {
  // The title tells the bench that the press was taken, as the program's waiting title does.
  SetWindowTextW(window, L"bench_bare: pressed");
  wchar_t windows[MAX_PATH];
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring interpreter = std::wstring(windows, length) + L"\\System32\\cmd.exe";
  std::wstring commandLine =
      L"\"" + interpreter + L"\" /d /e:on /v:off /c call \"C:\\morvane1.bat\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                     CREATE_NO_WINDOW, nullptr, L"C:\\", &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
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
  const HWND window = addmorvane::bench::CreateTopLevelWindow(instance, L"bench_bare", &WindowProc);
  if (window == nullptr ||
      CreateWindowExW(0, L"BUTTON", L"выполнить", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 160, 110,
                      150, 40, window, reinterpret_cast<HMENU>(kButtonId), instance,
                      nullptr) == nullptr) {
    return 1;
  }
  return addmorvane::bench::ShowAndRun(window);
}
