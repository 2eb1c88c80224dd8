#include "launch/shell_request.h"

#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace addmorvane {
namespace {

constexpr unsigned long kNotEnoughMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY

}  // namespace

bool ShellRequest::Begin() {
  Stage expected = Stage::Pending;
  return stage_.compare_exchange_strong(expected, Stage::Started);
}

bool ShellRequest::Finish(ShellReport report) {
  Stage expected = stage_.load();
  if (expected != Stage::Pending && expected != Stage::Started) {
    return false;
  }
  // Only the worker writes the report, and the caller reads it only after seeing it done.
  report_ = std::move(report);
  if (!stage_.compare_exchange_strong(expected, Stage::Done)) {
    return false;
  }
  const std::lock_guard lock(mutex_);
  finished_.notify_all();
  return true;
}

ShellReport ShellRequest::Conclude() {
  Stage expected = Stage::Pending;
  if (stage_.compare_exchange_strong(expected, Stage::Abandoned)) {
    return {ShellOutcome::Failed, kShellTimeoutError, {}};
  }
  if (expected == Stage::Started && stage_.compare_exchange_strong(expected, Stage::Done)) {
    return {ShellOutcome::Unconfirmed, kShellTimeoutError, {}};
  }
  // The worker finished first, possibly a moment after the wait ended.
  return report_;
}

void ShellRequest::WaitFor(std::chrono::milliseconds bound) {
  std::unique_lock lock(mutex_);
  finished_.wait_for(lock, bound, [this] { return stage_.load() == Stage::Done; });
}

ShellReport AskShell(ShellCall call, std::chrono::milliseconds bound) {
  return AskShell(std::move(call), [bound](ShellRequest& request) { request.WaitFor(bound); });
}

ShellReport AskShell(ShellCall call, const AnswerWait& wait) {
  // Shared with the worker, which may still be inside the shell when the caller returns.
  const auto request = std::make_shared<ShellRequest>();
  try {
    std::thread([request, call = std::move(call)] {
      ShellReport report;
      try {
        report = call(*request);
      } catch (const std::bad_alloc&) {
        report = {ShellOutcome::Failed, kNotEnoughMemory, {}};
      }
      request->Finish(std::move(report));
    }).detach();
  } catch (const std::system_error&) {
    // No thread for the call: nothing was started.
    return {ShellOutcome::Failed, kNotEnoughMemory, {}};
  }
  wait(*request);
  return request->Conclude();
}

}  // namespace addmorvane
