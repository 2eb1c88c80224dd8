#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace addmorvane {

// Makes `text` the clipboard's only content, as Unicode text. Another program may hold the
// clipboard open for a moment, so opening is retried for about half a second before it
// counts as a failure (SystemError).
void PutClipboardText(HWND owner, std::wstring_view text);

// The clipboard's Unicode text, or nothing when it holds no text.
std::optional<std::wstring> ClipboardText(HWND owner);

}  // namespace addmorvane
