// Run by CTest a second time in a prefix set to 144 dpi (see cmake/windows-tests.cmake), where
// ADDMORVANE_EXPECT_DPI tells which density the display has.
#include <cmath>
#include <cstdlib>

#include "harness.h"

namespace addmorvane::wintest {
namespace {

int ExpectedDpi() {
  const char* value = std::getenv("ADDMORVANE_EXPECT_DPI");
  return value == nullptr ? 0 : std::atoi(value);
}

// The window's own icons have the system's sizes: 16 and 32 px at 96 dpi, 24 and 48 at 144.
void ExpectIconsForDpi(HWND form, int dpi) {
  const bool low = dpi == 96;
  for (const auto& [which, size] :
       {std::pair{ICON_SMALL, low ? 16 : 24}, std::pair{ICON_BIG, low ? 32 : 48}}) {
    ICONINFO info{};
    ASSERT_TRUE(
        GetIconInfo(reinterpret_cast<HICON>(SendMessageW(form, WM_GETICON, which, 0)), &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(bitmap.bmWidth, size) << "icon " << which << " at " << dpi << " dpi";
    EXPECT_EQ(bitmap.bmHeight, size) << "icon " << which << " at " << dpi << " dpi";
  }
}

TEST_F(FormTest, TheWindowsIconsHaveTheSizesOfItsDensity) {
  ExpectIconsForDpi(window().hwnd(), 96);  // the tests' own display
}

class HighDpiTest : public FormTest {
 protected:
  void SetUp() override {
    dpi_ = ExpectedDpi();
    if (dpi_ == 0) {
      GTEST_SKIP() << "runs only in the high-dpi prefix";
    }
    FormTest::SetUp();
  }
  // Pixels at this density, within the half pixel that rounding may take.
  void ExpectScaled(long pixels, int twips) {
    EXPECT_LE(std::abs(pixels * 1440.0 - twips * double(dpi_)), 720.0)
        << pixels << " px for " << twips << " twips at " << dpi_ << " dpi";
  }
  int dpi_ = 0;
};

TEST_F(HighDpiTest, WindowAndControlsScaleWithTheDisplay) {
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi_);
  ReleaseDC(nullptr, screen);
  HWND form = window().hwnd();
  ExpectIconsForDpi(form, dpi_);
  RECT client{};
  GetClientRect(form, &client);
  ExpectScaled(client.right, expected::kClientWidthTwips);
  ExpectScaled(client.bottom, expected::kClientHeightTwips);

  const expected::ControlRow& frame = expected::kControls[2];
  for (const expected::ControlRow& row : expected::kControls) {
    SCOPED_TRACE(std::wstring(row.name));
    HWND control = ControlNamed(row.name);
    const RECT rect = RectInClient(control, form);
    const bool inFrame = row.container == expected::In::Frame1;
    // Inside the frame, rounding applies to the frame's and the control's offsets apart.
    const long frameLeft = inFrame ? std::lround(frame.left * dpi_ / 1440.0) : 0;
    const long frameTop = inFrame ? std::lround(frame.top * dpi_ / 1440.0) : 0;
    ExpectScaled(rect.left - frameLeft, row.left);
    ExpectScaled(rect.top - frameTop, row.top);
    ExpectScaled(rect.right - rect.left, row.width);
    ExpectScaled(rect.bottom - rect.top, row.height);

    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ASSERT_NE(GetObjectW(font, sizeof(logFont), &logFont), 0);
    // 8.25 pt, or a little less where a caption needs it to be shown whole.
    EXPECT_LE(-logFont.lfHeight, std::lround(8.25 * dpi_ / 72));
    EXPECT_GE(-logFont.lfHeight, std::lround(6.0 * dpi_ / 72));
    EXPECT_TRUE(CaptionShownWhole(control, SpecOf(ControlIdNamed(row.name)).kind, dpi_));
  }
}

}  // namespace
}  // namespace addmorvane::wintest
