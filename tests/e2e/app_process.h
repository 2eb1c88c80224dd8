// The real program in a process of its own, watched and driven from outside: its windows are
// found by process id and caption, and clicked with real pointer input.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace addmorvane::e2e {

// The folder that holds this test program, and the program beside it.
std::wstring TestProgramFolder();
std::wstring ProgramPath();

class AppProcess {
 public:
  AppProcess() = default;
  ~AppProcess();  // ends the process if it still runs
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  // Starts `exe` and waits until its main window is visible; false if it is not within
  // `timeoutMs` or the process ended first.
  bool Start(const std::wstring& exe = ProgramPath(), DWORD timeoutMs = 15000);
  // The two halves of Start, for starting several copies at once.
  bool Launch(const std::wstring& exe = ProgramPath());
  bool WaitForWindow(DWORD timeoutMs = 15000);

  HWND window() const { return window_; }

  // The child control with exactly this caption, or null.
  HWND Control(std::wstring_view caption) const;
  // Clicks the centre of a control of the main window with the pointer.
  bool Click(std::wstring_view caption) const;
  // Clicks the main window's close box.
  bool ClickCloseBox() const;

  // Waits for the process to end; true if it ended within `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs) const;
  DWORD ExitCode() const;
  // The visible top-level windows the process owns.
  std::vector<HWND> VisibleWindows() const;
  // A message box of the process once it shows, or null after `timeoutMs`.
  HWND WaitForMessageBox(DWORD timeoutMs) const;
  void Terminate();

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
  HWND window_ = nullptr;
};

// Rounds of "работа", "-d" and "-2" from the lists, "применить" and "проба", sent to a running
// copy of the program as its controls themselves would send them: one message at a time, each
// handled whole before the next, so that the program is always busy.
struct RoundDriver {
  HWND trial = nullptr;
  HWND work = nullptr;
  HWND apply = nullptr;
  HWND cycle = nullptr;
  HWND pass = nullptr;
  LONG limit = MAXLONG;
  volatile LONG rounds = 0;

  // Finds the controls; false if any is missing.
  bool Attach(const AppProcess& app);
  // Runs `limit` rounds, or until a message no longer reaches the program. For CreateThread.
  static DWORD WINAPI Loop(void* self);
};

std::wstring TextOf(HWND hwnd);
// The visible top-level windows of a process, or of every process for 0.
std::vector<HWND> VisibleWindows(DWORD processId = 0);
// Brings the top-level window of `target` to the front and clicks at `screen` once the
// pointer there would reach `target`.
bool ClickAt(HWND target, POINT screen);

// Ids of the running processes with this executable name (case-insensitive).
std::vector<DWORD> ProcessesNamed(std::wstring_view exeName);
// Ends every process started after `knownIds` was taken with this executable name.
void EndNewProcesses(std::wstring_view exeName, const std::vector<DWORD>& knownIds);

// The text of a message box, and closing it with its OK button.
std::wstring MessageBoxText(HWND box);
void CloseMessageBox(HWND box);

// Starts the Unix `chmod` on `name` in `folder` of drive C: (Wine starts Unix programs too);
// true if it could be started. Its effect shows in the file's security.
bool UnixChmod(const std::wstring& mode, const std::wstring& folder, const std::wstring& name);

bool FileExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& text);
// Waits, without a message loop, until `done` holds; false after `timeoutMs`.
template <typename Predicate>
bool WaitFor(Predicate done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

}  // namespace addmorvane::e2e
