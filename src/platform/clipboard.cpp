#include "platform/clipboard.h"

#include <cstring>

#include "base/system_error.h"

namespace addmorvane {
namespace {

constexpr DWORD kOpenPatienceMs = 500;
constexpr DWORD kOpenRetryMs = 10;

// Holds the clipboard open for one scope.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) {
    const ULONGLONG deadline = GetTickCount64() + kOpenPatienceMs;
    while (!OpenClipboard(owner)) {
      const DWORD error = GetLastError();
      if (GetTickCount64() >= deadline) {
        throw SystemError(error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED,
                          L"Не удалось открыть буфер обмена.");
      }
      // The program that has the clipboard open may be waiting for us: taking it over sends
      // its previous owner, perhaps this window, a message and waits for the answer. So the
      // wait answers messages sent to this thread, or both sides would wait it out.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kOpenRetryMs, QS_SENDMESSAGE);
      MSG sent{};
      PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  ~OpenClipboardScope() { CloseClipboard(); }
};

}  // namespace

void PutClipboardText(HWND owner, std::wstring_view text) {
  const std::wstring action = L"Не удалось поместить строку запуска в буфер обмена.";
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) {
    throw SystemError(GetLastError(), action);
  }
  auto* target = static_cast<wchar_t*>(GlobalLock(memory));
  if (target == nullptr) {
    const DWORD error = GetLastError();
    GlobalFree(memory);
    throw SystemError(error, action);
  }
  std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
  target[text.size()] = L'\0';
  GlobalUnlock(memory);

  try {
    OpenClipboardScope scope(owner);
    // Windows hands the clipboard to a program only through emptying it.
    if (!EmptyClipboard() || SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
      throw SystemError(GetLastError(), action);
    }
  } catch (...) {
    GlobalFree(memory);
    throw;
  }
}

std::optional<std::wstring> ClipboardText(HWND owner) {
  OpenClipboardScope scope(owner);
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) {
    return std::nullopt;
  }
  const auto* source = static_cast<const wchar_t*>(GlobalLock(data));
  if (source == nullptr) {
    return std::nullopt;
  }
  // The block may be larger than the text; the text ends at its first null.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < capacity && source[length] != L'\0') {
    ++length;
  }
  std::wstring text(source, length);
  GlobalUnlock(data);
  return text;
}

}  // namespace addmorvane
