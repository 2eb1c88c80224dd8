#include "launch/shell_request.h"

#include <memory>
#include <new>
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
  return stage_.compare_exchange_strong(expected, Stage::Done);
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

ShellReport AskShell(ShellCall call, WorkerThread& worker) {
  // Shared with the worker, which may still be inside the shell when the caller returns.
  const auto request = std::make_shared<ShellRequest>();
  const unsigned long error = worker.Start([request, call = std::move(call)] {
    ShellReport report;
    try {
      report = call(*request);
    } catch (const std::bad_alloc&) {
      report = {ShellOutcome::Failed, kNotEnoughMemory, {}};
    }
    request->Finish(std::move(report));
  });
  if (error != 0) {
    return {ShellOutcome::Failed, error, {}};  // nothing was started
  }
  worker.Wait();
  return request->Conclude();
}

unsigned long BoundLeft(unsigned long boundMs, unsigned long long elapsedMs) {
  return elapsedMs < boundMs ? static_cast<unsigned long>(boundMs - elapsedMs) : 0;
}

}  // namespace addmorvane
