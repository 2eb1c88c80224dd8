#include "app/win32/fonts.h"

#include <array>
#include <cwchar>
#include <string>
#include <string_view>

namespace addmorvane {
namespace {

// Tried in order; the first that Windows maps to a face with Cyrillic letters wins.
constexpr std::array<std::wstring_view, 4> kFaces = {kFontFace, L"Microsoft Sans Serif", L"Tahoma",
                                                     L"Arial"};

HFONT CreateFace(std::wstring_view face, FontStyle style, int dpi, int size) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(size, dpi, 7200);
  font.lfWeight = style == FontStyle::Bold ? kBoldWeight : kRegularWeight;
  font.lfCharSet = static_cast<BYTE>(kCyrillicCharset);
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  wcsncpy_s(font.lfFaceName, face.data(), face.size());
  return CreateFontIndirectW(&font);
}

bool ShowsCyrillic(HFONT font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  const bool cyrillic =
      GetTextMetricsW(dc, &metrics) != FALSE && metrics.tmCharSet == kCyrillicCharset;
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return cyrillic;
}

}  // namespace

HFONT CreateLayoutFont(FontStyle style, int dpi, int size) {
  for (const std::wstring_view face : kFaces) {
    HFONT font = CreateFace(face, style, dpi, size);
    if (font != nullptr && ShowsCyrillic(font)) {
      return font;
    }
    DeleteObject(font);
  }
  return CreateFace(kFontFace, style, dpi, size);
}

bool CaptionFits(HFONT font, std::wstring_view caption, int width, int height, bool wraps) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  RECT needed{0, 0, width, 0};
  const std::wstring text(caption);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return needed.right <= width && needed.bottom <= height;
}

}  // namespace addmorvane
