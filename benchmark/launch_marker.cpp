#include "launch_marker.h"

#include <cmath>
#include <string_view>

#include "programs.h"

namespace bench {
namespace {

constexpr wchar_t kLaunchScript[] = L"C:\\morvane1.bat";
constexpr wchar_t kPipe[] = L"\\\\.\\pipe\\morvane-bench-launch";
// `type nul` writes nothing: the redirection alone opens the pipe, and the script ends at once.
constexpr std::string_view kScript = "@type nul> \\\\.\\pipe\\morvane-bench-launch\r\n";

}  // namespace

LaunchMarker::LaunchMarker() {
  const HANDLE file = CreateFileW(kLaunchScript, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok =
      file != INVALID_HANDLE_VALUE &&
      WriteFile(file, kScript.data(), static_cast<DWORD>(kScript.size()), &written, nullptr) &&
      written == kScript.size();
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
  }
  if (!ok) {
    Fail("cannot write the launch script C:\\morvane1.bat");
  }
  pipe_ = CreateNamedPipeW(
      kPipe, PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0, 0, nullptr);
  connected_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (pipe_ == INVALID_HANDLE_VALUE || connected_ == nullptr) {
    Fail("cannot open the launch script's pipe");
  }
}

LaunchMarker::~LaunchMarker() {
  CloseHandle(pipe_);
  CloseHandle(connected_);
  DeleteFileW(kLaunchScript);
}

void LaunchMarker::Arm() {
  overlapped_ = OVERLAPPED{};
  overlapped_.hEvent = connected_;
  ResetEvent(connected_);
  // A client already there would be a script started by no press of this run.
  if (ConnectNamedPipe(pipe_, &overlapped_) || GetLastError() != ERROR_IO_PENDING) {
    Fail("the launch script's pipe is not free before a press");
  }
}

double LaunchMarker::WaitForStart(HANDLE process, double deadlineMs) {
  const HANDLE handles[2] = {connected_, process};
  const double left = deadlineMs - NowMs();
  const DWORD waitMs = left > 0 ? static_cast<DWORD>(std::ceil(left)) : 0;
  const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, waitMs);
  const double seenMs = NowMs();
  if (woken != WAIT_OBJECT_0) {
    CancelIo(pipe_);
    Fail(woken == WAIT_OBJECT_0 + 1 ? "the program ended before its launch script started"
                                    : "the launch script did not start in time");
  }
  // The script only opens the pipe; cutting it off now leaves the pipe free for the next press.
  DisconnectNamedPipe(pipe_);
  return seenMs;
}

}  // namespace bench
