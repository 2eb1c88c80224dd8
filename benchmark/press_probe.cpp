// A probe, run by hand (benchmark/press-probe), of where the press of "выполнить" spends its
// time under its own shell route, in a fresh process with the program's window built as the
// press finds it. "stages" repeats the press's steps one by one, in the program's order and on
// the same kind of thread, with the program's own functions where they are reachable; "whole"
// makes the program's own write and shell request, to check that the stages add up to it;
// "bare" makes the shell's call alone as bench_bare.exe does: on the window's thread, in the
// apartment and with shell32 that it took at its start.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/win32/form_window.h"
#include "inert_form.h"
#include "launch/file_trust.h"
#include "launch/win32/file_security.h"
#include "launch/win32/user_rights_open.h"
#include "platform/system_error.h"
#include "runscript/vocabulary.h"
#include "runscript/win32/write_run_script.h"

namespace {

constexpr const wchar_t* kScript = addmorvane::kLaunchScriptPath.data();

using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

// ShellExecuteExW from the system folder's shell32, as the program binds it.
ShellExecuteExFn BindShellExecuteEx() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  const std::wstring shell32 = std::wstring(folder, length) + L"\\shell32.dll";
  return reinterpret_cast<ShellExecuteExFn>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(shell32.c_str()), "ShellExecuteExW")));
}

// The program's call: "open", hidden, no parameters or folder.
void OpenScript(ShellExecuteExFn shellExecuteEx) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = kScript;
  info.lpParameters = L"";
  info.lpDirectory = L"";
  info.nShow = SW_HIDE;
  if (shellExecuteEx == nullptr || !shellExecuteEx(&info)) {
    std::fprintf(stderr, "press_probe: the shell's call failed\n");
  }
}

double NowMs() {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER now{};
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000 / static_cast<double>(frequency.QuadPart);
}

// The instants the worker reaches, in the order it reaches them.
struct WorkerTimes {
  double begun, apartment, trusted, bound, called, left, ended;
};

DWORD WINAPI Worker(void* parameter) {
  auto* times = static_cast<WorkerTimes*>(parameter);
  times->begun = NowMs();
  const HRESULT apartment =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  times->apartment = NowMs();
  const std::wstring user = addmorvane::CurrentUserSid();
  const std::wstring targets[2] = {kScript, L"C:\\"};
  const addmorvane::Guarded guarded[2] = {addmorvane::Guarded::File, addmorvane::Guarded::Folder};
  for (int i = 0; i < 2; ++i) {
    addmorvane::SecuritySummary summary;
    if (addmorvane::ReadFileSecurity(targets[i], summary) != 0 ||
        !addmorvane::JudgeForFullRights(summary, user, guarded[i]).safe()) {
      std::fprintf(stderr, "press_probe: the launch script would be refused\n");
    }
  }
  times->trusted = NowMs();
  const ShellExecuteExFn shellExecuteEx = BindShellExecuteEx();
  times->bound = NowMs();
  OpenScript(shellExecuteEx);
  times->called = NowMs();
  if (SUCCEEDED(apartment)) {
    CoUninitialize();
  }
  times->left = NowMs();
  return 0;
}

void Stages() {
  const double begin = NowMs();
  addmorvane::WriteRunScript(addmorvane::kDefaultCommandLine);
  const double written = NowMs();
  WorkerTimes times{};
  const HANDLE thread = CreateThread(nullptr, 0, Worker, &times, 0, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  times.ended = NowMs();
  std::printf("run-script write\t%.1f\n", written - begin);
  std::printf("thread start\t%.1f\n", times.begun - written);
  std::printf("COM start-up\t%.1f\n", times.apartment - times.begun);
  std::printf("trust check\t%.1f\n", times.trusted - times.apartment);
  std::printf("shell32 load\t%.1f\n", times.bound - times.trusted);
  std::printf("ShellExecuteExW\t%.1f\n", times.called - times.bound);
  std::printf("COM end\t%.1f\n", times.left - times.called);
  std::printf("thread end\t%.1f\n", times.ended - times.left);
  std::printf("all stages\t%.1f\n", times.ended - begin);
}

void Whole() {
  const double begin = NowMs();
  addmorvane::WriteRunScript(addmorvane::kDefaultCommandLine);
  const addmorvane::OpenResult result =
      addmorvane::OpenWithUserRights(kScript, addmorvane::ShowCommand::Hidden);
  const double end = NowMs();
  if (!result.opened()) {
    std::fprintf(stderr, "press_probe: the program's request did not open the script\n");
  }
  std::printf("the program's own write and request\t%.1f\n", end - begin);
}

void Bare() {
  const HRESULT apartment =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const ShellExecuteExFn shellExecuteEx = BindShellExecuteEx();
  const double begin = NowMs();
  OpenScript(shellExecuteEx);
  std::printf("bare: ShellExecuteExW on the window's thread\t%.1f\n", NowMs() - begin);
  if (SUCCEEDED(apartment)) {
    CoUninitialize();
  }
}

}  // namespace

// A window program, as the program is: the shell starts a script differently for a console one.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR way, int) {
  addmorvane::bench::IgnoredEvents sink;
  addmorvane::bench::NoActions actions;
  addmorvane::FormWindow window(sink, actions);
  try {
    window.Create();
    // As at the program's start: the first write loads what every later one uses.
    addmorvane::WriteRunScript(addmorvane::kDefaultCommandLine);
  } catch (const addmorvane::SystemError&) {
    std::fprintf(stderr, "press_probe: cannot build the window or write the run script\n");
    return 1;
  }
  // As a press finds it: the window shown and every message of its start handled.
  window.Show();
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (std::wcscmp(way, L"whole") == 0) {
    Whole();
  } else if (std::wcscmp(way, L"bare") == 0) {
    Bare();
  } else {
    Stages();
  }
  return 0;
}
