#include "programs.h"

#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

constexpr double kTimeoutMs = 20000;

struct WindowSearch {
  DWORD processId;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK FindVisibleTopLevel(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->processId && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindCaption(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (TextOf(hwnd) == search->caption) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "bench_driver: %s (error %lu)\n", what, GetLastError());
  std::exit(1);
}

double NowMs() {
  static const double perMs = [] {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / perMs;
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

HWND ChildByCaption(HWND parent, const wchar_t* caption) {
  WindowSearch search{0, caption, nullptr};
  EnumChildWindows(parent, &FindCaption, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    Fail("a control of the program was not found by its caption");
  }
  return search.found;
}

void WaitUntil(const Process& process, const std::function<bool()>& done) {
  const double begin = NowMs();
  while (!done()) {
    if (WaitForSingleObject(process.info.hProcess, 1) == WAIT_OBJECT_0) {
      Fail("the program ended early");
    }
    if (NowMs() - begin > kTimeoutMs) {
      Fail("timed out waiting for the program");
    }
  }
}

Process Start(const std::wstring& path, double* startMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + path + L"\"";
  Process process;
  const double begin = NowMs();
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process.info)) {
    Fail("cannot start a program");
  }
  WindowSearch search{process.info.dwProcessId, nullptr, nullptr};
  WaitUntil(process, [&] {
    EnumWindows(&FindVisibleTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  });
  if (startMs != nullptr) {
    *startMs = NowMs() - begin;
  }
  process.window = search.found;
  WaitForInputIdle(process.info.hProcess, 5000);
  return process;
}

void Stop(Process& process) {
  PostMessageW(process.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.info.hProcess, 5000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "bench_driver: a program did not close; ending it\n");
    TerminateProcess(process.info.hProcess, 1);
    WaitForSingleObject(process.info.hProcess, 5000);
  }
  CloseHandle(process.info.hThread);
  CloseHandle(process.info.hProcess);
}

void Click(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  INPUT inputs[3] = {};
  const DWORD flags[3] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dx =
        MulDiv((rect.left + rect.right) / 2, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    inputs[i].mi.dy =
        MulDiv((rect.top + rect.bottom) / 2, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  if (SendInput(3, inputs, sizeof(INPUT)) != 3) {
    Fail("SendInput refused the click");
  }
}

}  // namespace bench
