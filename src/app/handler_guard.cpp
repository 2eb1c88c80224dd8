#include "app/handler_guard.h"

#include <new>

#include "base/system_error.h"

namespace addmorvane {
namespace {

// The system's numbers for these two, so that the report quotes the system's own text.
constexpr unsigned long kErrorNotEnoughMemory = 8;
constexpr unsigned long kErrorInternalError = 1359;

}  // namespace

Failure CurrentFailure() {
  try {
    throw;
  } catch (const SystemError& error) {
    return {error.code(), error.action()};
  } catch (const std::bad_alloc&) {
    return {kErrorNotEnoughMemory, L"Программе не хватило памяти."};
  } catch (...) {
    return {kErrorInternalError, L"Внутренняя ошибка программы."};
  }
}

}  // namespace addmorvane
