#include <windows.h>

#include "app/handler_guard.h"
#include "app/win32/program.h"
#include "app/win32/windows_system_actions.h"

namespace {

// The program runs elevated: never load a DLL planted beside it or in the current folder.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault != nullptr) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  SetDllDirectoryW(L"");
}

int RunProgram() {
  addmorvane::SystemActions& actions = addmorvane::WindowsSystemActions();
  addmorvane::Program program(actions);
  try {
    program.Start();
  } catch (...) {
    const addmorvane::Failure failure = addmorvane::CurrentFailure();
    actions.ReportFailure(failure.code, failure.action);
    return static_cast<int>(failure.code != 0 ? failure.code : 1);
  }
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!program.window().PreTranslateMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  RestrictDllSearch();
  return RunProgram();
}
