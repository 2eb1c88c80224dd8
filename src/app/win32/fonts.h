#pragma once

#include <windows.h>

#include <string_view>

#include "app/layout.h"

namespace addmorvane {

// The layout's 8.25 pt font at `dpi`, bold or regular, with the Cyrillic character set.
// Where the layout's face cannot show Cyrillic, a sans-serif face that can takes its place.
HFONT CreateLayoutFont(FontStyle style, int dpi, int sizeHundredthsPt = kFontSizeHundredthsPt);

// Whether `caption` fits a control's text area of `width` x `height` pixels in `font`,
// wrapped at word boundaries when `wraps`.
bool CaptionFits(HFONT font, std::wstring_view caption, int width, int height, bool wraps);

}  // namespace addmorvane
