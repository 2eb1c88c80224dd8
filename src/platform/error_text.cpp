#include "platform/error_text.h"

#include <windows.h>

#include "base/join.h"

namespace addmorvane {

std::wstring SystemMessageText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length != 0 && buffer != nullptr) {
    text.assign(buffer, length);
  }
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) {
    text = L"Неизвестная ошибка.";
  }
  return text;
}

std::wstring FailureReportText(unsigned long code, const std::wstring& action) {
  return Join({action, L"\n\nОшибка ", Decimal(code), L": ", SystemMessageText(code)});
}

}  // namespace addmorvane
