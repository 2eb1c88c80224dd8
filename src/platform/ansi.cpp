#include "platform/ansi.h"

#include <windows.h>

#include "base/system_error.h"

namespace addmorvane {

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const auto failed = [&](DWORD code) {
    return SystemError(code, L"Строку запуска нельзя записать в кодировке системы.");
  };
  const int wideLength = static_cast<int>(text.size());
  // Where the ANSI code page is UTF-8 every character fits, and the system refuses both the
  // flag and the "default used" question for it.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, nullptr, 0, nullptr,
                                       usedDefaultOut);
  if (size == 0) {
    throw failed(GetLastError());
  }
  if (usedDefault) {
    throw failed(ERROR_NO_UNICODE_TRANSLATION);
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (WideCharToMultiByte(CP_ACP, flags, text.data(), wideLength, bytes.data(), size, nullptr,
                          usedDefaultOut) != size) {
    throw failed(GetLastError());
  }
  return bytes;
}

}  // namespace addmorvane
