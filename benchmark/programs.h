// Starting, clicking and ending the programs under measurement, from outside, the way a user
// meets them; shared by the driver's measures.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace bench {

struct Process {
  PROCESS_INFORMATION info{};
  HWND window = nullptr;
};

[[noreturn]] void Fail(const char* what);

// A monotonic clock in milliseconds, to the counter's resolution (well under a microsecond).
double NowMs();

std::wstring TextOf(HWND hwnd);

// The child of `parent` with the caption `caption`; fails if there is none.
HWND ChildByCaption(HWND parent, const wchar_t* caption);

// Waits in steps of 1 ms until `done` holds; fails if the process ends or time runs out.
void WaitUntil(const Process& process, const std::function<bool()>& done);

// Starts the program at `path` and waits until it shows a window; the time from just before
// process creation to the window shown goes to `startMs`, when given.
Process Start(const std::wstring& path, double* startMs);

// Closes the program's window and waits for the process to end.
void Stop(Process& process);

// A left click at the centre of `control`, as absolute pointer input.
void Click(HWND control);

}  // namespace bench
