// GoogleTest's one use of std::mutex, which the toolchain's win32 thread model lacks, in Win32
// terms: the event that lets the threads GoogleTest starts go. Included ahead of every test
// source of the Windows build, and GoogleTest told that it is there.
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  ~Notification() { CloseHandle(event_); }

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal
