// Benchmark driver for ./bench. Starts the program and the two baselines that sit beside it,
// measures each from outside the way a user meets it, and prints a Markdown table on stdout
// (progress goes to stderr).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kStartRuns = 21;
constexpr int kClickRuns = 11;
constexpr DWORD kIdleMs = 10000;
constexpr double kTimeoutMs = 20000;
constexpr double kKiB = 1024;
constexpr double kMiB = 1024 * 1024;

struct Program {
  std::wstring path;
  std::vector<double> startMs;
  std::vector<double> workingSet;
  double idleCpuMs = 0;
  double size = 0;
};

struct Process {
  PROCESS_INFORMATION info{};
  HWND window = nullptr;
};

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

// The value below which the fraction `q` of `values` lies (nearest rank).
double Quantile(std::vector<double> values, double q) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

double Median(const std::vector<double>& values) {
  return Quantile(values, 0.5);
}

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

std::wstring TextOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

BOOL CALLBACK FindCaption(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (TextOf(hwnd) == search->caption) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND ChildByCaption(HWND parent, const wchar_t* caption) {
  WindowSearch search{0, caption, nullptr};
  EnumChildWindows(parent, &FindCaption, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) {
    Fail("a control of the program was not found by its caption");
  }
  return search.found;
}

// Waits in steps of 1 ms until `done` holds; fails if the process ends or time runs out.
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

// Starts `program` and waits until it shows a window; the time from just before process
// creation to the window shown goes to `startMs`, when given.
Process Start(const Program& program, double* startMs) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + program.path + L"\"";
  Process process;
  const double begin = NowMs();
  if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
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

double WorkingSet(const Process& process) {
  HANDLE handle =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process.info.dwProcessId);
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (handle == nullptr || !GetProcessMemoryInfo(handle, &counters, sizeof(counters))) {
    Fail("cannot read a program's working set");
  }
  CloseHandle(handle);
  return static_cast<double>(counters.WorkingSetSize);
}

double CpuMs(const Process& process) {
  FILETIME created{}, ended{}, kernel{}, user{};
  GetProcessTimes(process.info.hProcess, &created, &ended, &kernel, &user);
  const auto ticks = [](FILETIME time) {
    return static_cast<double>((ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000;
}

double FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    Fail("cannot read a program's size");
  }
  return static_cast<double>((ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

// A left click at the centre of `control`, as absolute pointer input.
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

// The time from a click on "применить" to the new title. "проба" sets the title back to the
// bare program name first, so that each press has a change to show.
std::vector<double> ClickToTitle(const Program& product) {
  Process process = Start(product, nullptr);
  SetForegroundWindow(process.window);
  HWND trial = ChildByCaption(process.window, L"проба");
  HWND work = ChildByCaption(process.window, L"работа");
  HWND apply = ChildByCaption(process.window, L"применить");
  const std::wstring bareTitle = TextOf(process.window);
  std::vector<double> times;
  for (int run = 0; run < kClickRuns; ++run) {
    Click(trial);
    WaitUntil(process, [&] { return TextOf(process.window) == bareTitle; });
    Click(work);
    // Answered only once the program has handled the click in full.
    WaitUntil(process, [&] { return SendMessageW(work, BM_GETCHECK, 0, 0) == BST_CHECKED; });
    const double begin = NowMs();
    Click(apply);
    WaitUntil(process, [&] { return TextOf(process.window) != bareTitle; });
    times.push_back(NowMs() - begin);
  }
  Stop(process);
  return times;
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof(text), format, value);
  return text;
}

using Columns = std::array<std::string, 3>;

// `value` of each program, formatted.
Columns Each(const Program (&programs)[3],
             const char* format,
             const std::function<double(const Program&)>& value) {
  return {Format(format, value(programs[0])), Format(format, value(programs[1])),
          Format(format, value(programs[2]))};
}

void Row(const std::string& measure, const Columns& values, const char* goal, const char* met) {
  std::printf("| %s | %s | %s | %s | %s | %s |\n", measure.c_str(), values[0].c_str(),
              values[1].c_str(), values[2].c_str(), goal, met);
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self, length);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  Program programs[3];
  const wchar_t* const files[3] = {L"addmorvane.exe", L"bench_plain.exe", L"bench_empty.exe"};
  for (int i = 0; i < 3; ++i) {
    programs[i].path = folder + files[i];
    programs[i].size = FileSize(programs[i].path);
  }
  const Program& product = programs[0];
  const Program& plain = programs[1];

  // One unmeasured start each, so the first measured run finds Wine's desktop up.
  std::fprintf(stderr, "bench_driver: %d start-ups of each program\n", kStartRuns);
  for (int run = -1; run < kStartRuns; ++run) {
    for (Program& program : programs) {
      double startMs = 0;
      Process process = Start(program, &startMs);
      if (run >= 0) {
        program.startMs.push_back(startMs);
        program.workingSet.push_back(WorkingSet(process));
      }
      Stop(process);
    }
  }

  std::fprintf(stderr, "bench_driver: CPU time of all three while idle for %lu s\n",
               kIdleMs / 1000);
  std::vector<Process> idle;
  for (Program& program : programs) {
    idle.push_back(Start(program, nullptr));
  }
  Sleep(1000);  // let the start-up settle; idle is what comes after it
  double before[3];
  for (int i = 0; i < 3; ++i) {
    before[i] = CpuMs(idle[i]);
  }
  Sleep(kIdleMs);
  for (int i = 0; i < 3; ++i) {
    programs[i].idleCpuMs = CpuMs(idle[i]) - before[i];
    Stop(idle[i]);
  }

  std::fprintf(stderr, "bench_driver: %d clicks on the apply button\n", kClickRuns);
  const double clickMs = Median(ClickToTitle(product));

  const auto yes = [](bool met) { return met ? "yes" : "**no**"; };
  const std::string runs = std::to_string(kStartRuns);
  const double empty = Median(programs[2].workingSet);
  const double plainSet = Median(plain.workingSet);
  Row("measure", {"addmorvane.exe", "bench_plain.exe", "bench_empty.exe"}, "goal", "met");
  Row("---", {"---:", "---:", "---:"}, "---", "---");
  Row("start-up to window shown, median of " + runs + " (ms)",
      Each(programs, "%.1f", [](const Program& q) { return Median(q.startMs); }), "≤ 1.10 × plain",
      yes(Median(product.startMs) <= 1.10 * Median(plain.startMs)));
  // How far apart the runs lie: on a busy machine, smaller differences than this tell nothing.
  Row("start-up, 25th percentile (ms)",
      Each(programs, "%.1f", [](const Program& q) { return Quantile(q.startMs, 0.25); }), "", "");
  Row("start-up, 75th percentile (ms)",
      Each(programs, "%.1f", [](const Program& q) { return Quantile(q.startMs, 0.75); }), "", "");
  Row("start-up, addmorvane ÷ this",
      Each(programs, "%.2f",
           [&](const Program& q) { return Median(product.startMs) / Median(q.startMs); }),
      "", "");
  Row("exe size, stripped (KB)",
      Each(programs, "%.1f", [](const Program& q) { return q.size / kKiB; }), "≤ 200 KB",
      yes(product.size <= 200 * kKiB));
  Row("working set after start-up, median of " + runs + " (MB)",
      Each(programs, "%.2f", [](const Program& q) { return Median(q.workingSet) / kMiB; }), "", "");
  // The controls themselves cost megabytes under Wine; what the program adds is measured
  // against the same controls without handlers.
  Row("working set above the plain controls (MB)",
      Each(programs, "%+.2f",
           [&](const Program& q) { return (Median(q.workingSet) - plainSet) / kMiB; }),
      "≤ 1 MB", yes(Median(product.workingSet) - plainSet <= kMiB));
  Row("working set above the empty window (MB)",
      Each(programs, "%+.2f",
           [&](const Program& q) { return (Median(q.workingSet) - empty) / kMiB; }),
      "", "");
  Row("CPU time while idle for 10 s, not armed (ms)",
      Each(programs, "%.1f", [](const Program& q) { return q.idleCpuMs; }), "none",
      yes(product.idleCpuMs == 0));
  Row("click on \"применить\" to new title, median of " + std::to_string(kClickRuns) + " (ms)",
      {Format("%.1f", clickMs), "–", "–"}, "", "");
  return 0;
}
