// The launch script run with the program's own rights, by the system's command interpreter,
// and its end told back on the window's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/system_actions.h"

namespace addmorvane {

class LaunchScriptRunner {
 public:
  LaunchScriptRunner();
  LaunchScriptRunner(const LaunchScriptRunner&) = delete;
  LaunchScriptRunner& operator=(const LaunchScriptRunner&) = delete;
  ~LaunchScriptRunner();

  // Starts the launch script hidden, in the system's own interpreter, when it is a plain file
  // that nobody else can change, and holds it so that nobody can until it has ended; `ended` is
  // called then, on this thread, from its message loop. The file checked and held is the one
  // the interpreter is told to run: both come from one constant. Call it on the window's
  // thread. One script at a time, in all copies of the program: a start while one runs is
  // refused.
  OpenResult Start(std::function<void(ScriptEnd)> ended);

 private:
  struct Run;

  static LRESULT CALLBACK NotifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void CALLBACK OnProcessEnded(void* window, BOOLEAN timedOut);
  HWND NotifyWindow();
  void Finish();

  HWND notifyWindow_ = nullptr;
  std::unique_ptr<Run> run_;
};

}  // namespace addmorvane
