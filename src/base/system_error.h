// A failed system operation: the system's error number and what we were doing at the time.
#pragma once

#include <stdexcept>
#include <string>

namespace addmorvane {

class SystemError : public std::runtime_error {
 public:
  SystemError(unsigned long code, std::wstring action)
      : std::runtime_error("system operation failed"), code_(code), action_(std::move(action)) {}

  unsigned long code() const { return code_; }
  // A sentence in the user's words, e.g. "Не удалось записать файл C:\morvane.bat."
  const std::wstring& action() const { return action_; }

 private:
  unsigned long code_;
  std::wstring action_;
};

}  // namespace addmorvane
