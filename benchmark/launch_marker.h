// The bench's own launch script at the program's path, whose first command opens a pipe of
// the driver's: the pipe's connection marks the moment the script started, and the driver
// waits for it as an event, not by looking for a file again and again.
#pragma once

#include <windows.h>

namespace bench {

class LaunchMarker {
 public:
  // Writes the launch script and opens the pipe; fails the bench when either cannot be made.
  LaunchMarker();
  LaunchMarker(const LaunchMarker&) = delete;
  LaunchMarker& operator=(const LaunchMarker&) = delete;
  // Removes the launch script.
  ~LaunchMarker();

  // Listens for the script's next start; call before the press that should start it.
  void Arm();
  // Waits until the script has started and returns when that was seen (NowMs). Fails the
  // bench if `process` ends first or the clock reaches `deadlineMs`.
  double WaitForStart(HANDLE process, double deadlineMs);

 private:
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE connected_ = nullptr;
  OVERLAPPED overlapped_{};
};

}  // namespace bench
