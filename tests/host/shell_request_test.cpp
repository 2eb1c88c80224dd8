// A shell request's one answer, with a stand-in shell that blocks until the test releases it,
// before or after its point of no return.
#include "launch/shell_request.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <latch>

#include "launch/shell_error.h"

namespace addmorvane {
namespace {

enum class Block { None, BeforeCall, InCall };
enum class WaitEnds { AtBound, WhenBlocked };

struct StandInShell {
  Block block;
  ShellReport answer;
  bool begins = true;  // false: it answers without calling (no shell, a refusal)
  std::latch reached{1};
  std::latch released{1};
  std::latch finished{1};
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
    finished.count_down();
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
    const ShellCall call = [&shell](ShellRequest& request) { return shell.Run(request); };
    // Where the shell is held, the wait ends once it is: the bound has passed, and no race
    // decides on which side of the call it stands.
    const ShellReport report =
        c.block == Block::None ? AskShell(call, std::chrono::minutes(1))
                               : AskShell(call, [&shell](ShellRequest&) { shell.reached.wait(); });
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(report.error, c.error);
    shell.released.count_down();
    shell.finished.wait();
    EXPECT_EQ(shell.called, c.called);
  }
}

TEST(ShellRequest, ResultsMapToTheSystemsErrorNumbersAndNeverToSuccess) {
  const struct {
    std::uint32_t result;
    unsigned long error;
  } cases[] = {
      {0x80070002U, 2},            // a Win32 error inside a result
      {0x800704C7U, 1223},         // ERROR_CANCELLED
      {0x80070000U, 0x80070000U},  // the facility's "success" as a failure
      {0x80004005U, 0x80004005U},  // E_FAIL stays itself
      {0x00000001U, 0x80004005U},  // S_FALSE: nothing started
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SystemErrorFromResult(c.result), c.error) << std::hex << c.result;
  }
}

}  // namespace
}  // namespace addmorvane
