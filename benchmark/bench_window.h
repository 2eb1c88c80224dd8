// What the bench's bare window programs share: one window class, one top-level window of the
// program's size, and the message loop.
#pragma once

#include <windows.h>

namespace addmorvane::bench {

// Registers `className` with `windowProc` and creates its window, not yet shown; null when
// either fails.
inline HWND CreateTopLevelWindow(HINSTANCE instance, const wchar_t* className, WNDPROC windowProc) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (RegisterClassExW(&windowClass) == 0) {
    return nullptr;
  }
  return CreateWindowExW(0, className, className, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                         CW_USEDEFAULT, CW_USEDEFAULT, 485, 300, nullptr, nullptr, instance,
                         nullptr);
}

// Shows `window` and handles messages until it quits; returns the quit code.
inline int ShowAndRun(HWND window) {
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace addmorvane::bench
