// A shell request's one answer, with a stand-in shell that blocks until the test releases it,
// before or after its point of no return.
#include "launch/shell_request.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <latch>
#include <thread>
#include <utility>

#include "launch/shell_error.h"

namespace addmorvane {
namespace {

enum class Block { None, BeforeCall, InCall };

// A worker whose wait ends where the test says: when its job has ended, or when the stand-in
// shell is held, which is where the bound passes. No race decides on which side of the call
// the shell stands when the caller stops waiting.
class TestWorker final : public WorkerThread {
 public:
  explicit TestWorker(std::function<void()> boundPasses) : boundPasses_(std::move(boundPasses)) {}
  TestWorker(const TestWorker&) = delete;
  TestWorker& operator=(const TestWorker&) = delete;
  ~TestWorker() override { thread_.join(); }

  unsigned long Start(std::function<void()> job) override {
    thread_ = std::thread([this, job = std::move(job)] {
      job();
      ended_.count_down();
    });
    return 0;
  }
  void Wait() override { boundPasses_ ? boundPasses_() : ended_.wait(); }

 private:
  std::function<void()> boundPasses_;
  std::latch ended_{1};
  std::thread thread_;
};

struct StandInShell {
  Block block;
  ShellReport answer;
  bool begins = true;  // false: it answers without calling (no shell, a refusal)
  std::latch reached{1};
  std::latch released{1};
  std::atomic<bool> called{false};

  ShellReport Run(ShellRequest& request) {
    ShellReport report = answer;
    Hold(Block::BeforeCall);
    if (begins) {
      if (request.Begin()) {
        called = true;
        Hold(Block::InCall);
      } else {
        report = {ShellOutcome::Failed, kShellTimeoutError, {}};
      }
    }
    return report;
  }
  void Hold(Block here) {
    if (block == here) {
      reached.count_down();
      released.wait();
    }
  }
};

TEST(ShellRequest, OneTrueAnswerWhateverTheShellDoes) {
  const ShellReport opened{ShellOutcome::Opened, 0, {}};
  const struct {
    const char* name;
    Block block;
    bool begins;
    ShellReport answer;
    ShellOutcome outcome;
    unsigned long error;
    bool called;
  } cases[] = {
      {"answers in time", Block::None, true, opened, ShellOutcome::Opened, 0, true},
      {"refuses in time",
       Block::None,
       true,
       {ShellOutcome::Failed, 2, {}},
       ShellOutcome::Failed,
       2,
       true},
      {"no shell, in time", Block::None, false, {}, ShellOutcome::NoShell, 0, false},
      // Past the bound before the call: the file certainly never starts, even once released.
      {"held before its call", Block::BeforeCall, true, opened, ShellOutcome::Failed,
       kShellTimeoutError, false},
      // Past the bound inside the call: it may start yet, and its late answer changes nothing.
      {"held inside its call", Block::InCall, true, opened, ShellOutcome::Unconfirmed,
       kShellTimeoutError, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandInShell shell{c.block, c.answer, c.begins};
    {
      TestWorker worker(c.block == Block::None ? std::function<void()>()
                                               : [&shell] { shell.reached.wait(); });
      const ShellReport report =
          AskShell([&shell](ShellRequest& request) { return shell.Run(request); }, worker);
      EXPECT_EQ(report.outcome, c.outcome);
      EXPECT_EQ(report.error, c.error);
      shell.released.count_down();
    }
    EXPECT_EQ(shell.called, c.called);
  }
}

TEST(ShellRequest, FailedResultsMapToTheSystemsErrorNumbersAndAllButDidNotRunToMaybeStarted) {
  const struct {
    std::uint32_t result;
    unsigned long error;
    bool mayHaveStarted;
  } cases[] = {
      {0x80070002U, 2, true},             // unknown, a Win32 error inside a result
      {0x800704C7U, 1223, true},          // unknown, ERROR_CANCELLED
      {0x80070000U, 0x80070000U, true},   // unknown, the facility's "success" as a failure
      {0x80004005U, 0x80004005U, true},   // unknown, E_FAIL stays itself
      {0x800401FDU, 0x800401FDU, true},   // unknown, facility ITF
      {0x8009000FU, 0x8009000FU, true},   // unknown, facility SECURITY
      {0x00000001U, 0x80004005U, false},  // S_FALSE: nothing started
      {0x80010108U, 0x80010108U, true},   // disconnected
      {0x800706BEU, 1726, true},          // the call failed
      {0x800706BAU, 1722, true},          // the server became unavailable
      {0x80010105U, 0x80010105U, true},   // the server failed inside the call
      {0x80010007U, 0x80010007U, true},   // RPC_E_SERVER_DIED: "may have executed"
      {0x80010006U, 0x80010006U, true},   // RPC_E_CONNECTION_TERMINATED
      {0x8007071AU, 1818, true},          // RPC_S_CALL_CANCELLED
      {0x8007071CU, 1820, true},          // RPC_S_COMM_FAILURE
      {0x80010012U, 0x80010012U, false},  // the server died, the call did not execute
      {0x800706BFU, 1727, false},         // failed and did not execute
      {0x80010001U, 0x80010001U, false},  // rejected
      {0x8001010AU, 0x8001010AU, false},  // retry later
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemErrorFromResult(c.result), c.error) << std::hex << c.result;
    EXPECT_EQ(CallMayHaveStarted(c.result), c.mayHaveStarted) << std::hex << c.result;
  }
}

TEST(ShellRequest, EveryWayToAShellInOnePressSharesOneBound) {
  // Milliseconds passed when a desktop shell was found missing, and what the next way gets.
  const std::pair<unsigned long long, unsigned long> cases[] = {
      {0, 5000}, {4200, 800}, {4999, 1}, {5000, 0}, {9000, 0}};
  for (const auto& [elapsed, left] : cases) {
    EXPECT_EQ(BoundLeft(5000, elapsed), left) << elapsed;
  }
}

}  // namespace
}  // namespace addmorvane
