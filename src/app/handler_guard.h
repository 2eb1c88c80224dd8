// How both forms run event handlers: a failure that escapes the outermost handler is reported
// to the user and ends the program; a handler raised inside another one passes its failure on
// to the one that raised it, so that the outer handler stops too.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "base/system_actions.h"

namespace addmorvane {

// A failure as the user is told about it: the system's error number and what was being done.
struct Failure {
  unsigned long code;
  std::wstring action;
};

// Describes the exception being handled; call it inside a catch block.
Failure CurrentFailure();

class HandlerGuard {
 public:
  // `end` closes the window with the given exit code.
  HandlerGuard(SystemActions& actions, std::function<void(int)> end)
      : actions_(actions), end_(std::move(end)) {}

  template <typename Handler>
  void Run(Handler&& handler) {
    if (depth_ > 0) {
      const Depth nested(depth_);
      handler();
      return;
    }
    try {
      const Depth outermost(depth_);
      handler();
    } catch (...) {
      const Failure failure = CurrentFailure();
      actions_.ReportFailure(failure.code, failure.action);
      end_(failure.code == 0 ? 1 : static_cast<int>(failure.code));
    }
  }

 private:
  class Depth {
   public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;
    ~Depth() { --depth_; }

   private:
    int& depth_;
  };

  SystemActions& actions_;
  std::function<void(int)> end_;
  int depth_ = 0;
};

}  // namespace addmorvane
