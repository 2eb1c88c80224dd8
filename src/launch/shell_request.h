// One request to a shell that may not answer in time. The call that starts a file cannot be
// taken back once it is made, so the request is split at that point: before it, the caller may
// give up and the file certainly never starts; after it, only the shell's answer says whether
// it started, and a caller that stops waiting cannot say that it did not.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace addmorvane {

// The system's ERROR_TIMEOUT: what a request that never began in time reports.
inline constexpr unsigned long kShellTimeoutError = 1460;

enum class ShellOutcome {
  Opened,       // the shell accepted the file
  Failed,       // the file did not start: the call never began, or the shell refused; see `error`
  Unconfirmed,  // the call began and did not answer in time: the file may still start
  Refused,      // the program would not hand the file its rights; see `refusal`
  NoShell,      // there is no desktop shell to ask
};

struct ShellReport {
  ShellOutcome outcome = ShellOutcome::NoShell;
  unsigned long error = 0;
  std::wstring refusal;
};

// Shared by the caller and the worker that asks the shell. Its stage is one atomic value that
// each side moves by compare-and-swap: pending, then started (the worker) or abandoned (the
// caller), then done. Whoever moves it first decides what the caller reports.
class ShellRequest {
 public:
  // The worker, just before the call that starts the file. False when the caller has given up:
  // the call must then not be made.
  bool Begin();
  // The worker, with its answer. Kept only while the caller still waits for it; false when
  // the caller has already reported without it.
  bool Finish(ShellReport report);
  // The caller, once it stops waiting (answered or not): the one report of the request.
  ShellReport Conclude();

 private:
  enum class Stage { Pending, Started, Abandoned, Done };

  std::atomic<Stage> stage_{Stage::Pending};
  ShellReport report_;  // written by the worker before it moves the stage to done
};

// What a worker runs: everything up to the call that starts the file, `request.Begin()`, the
// call, and the answer.
using ShellCall = std::function<ShellReport(ShellRequest& request)>;

// The thread a request runs on, which may outlive the caller's wait.
class WorkerThread {
 public:
  virtual ~WorkerThread() = default;
  // Starts `job` on a thread of its own; the system's error number when there is none, else 0.
  virtual unsigned long Start(std::function<void()> job) = 0;
  // Returns once the job has ended or the caller's bound has passed, without handling any of
  // the calling thread's window messages.
  virtual void Wait() = 0;
};

// Runs `call` on `worker` and waits for its answer as the worker waits.
ShellReport AskShell(ShellCall call, WorkerThread& worker);

// What is left of a request's bound of `boundMs` once `elapsedMs` have passed. Every way to
// a shell that one press tries shares one bound, so that the window waits `boundMs` at most;
// 0 when nothing is left, and no way may be tried any more.
unsigned long BoundLeft(unsigned long boundMs, unsigned long long elapsedMs);

}  // namespace addmorvane
