#include "app/layout.h"

#include "app/captions.h"
#include "launch/restart_timing.h"

#include "expected/facts.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace addmorvane {
namespace {

std::vector<int> Values(const TwipsRect& r) {
  return {r.left, r.top, r.width, r.height};
}

// The product's kinds, containers and fonts under the names the documentation uses.
expected::Kind KindOf(ControlKind kind) {
  return static_cast<expected::Kind>(static_cast<int>(kind));
}

TEST(Layout, EveryControlInTabOrder) {
  static_assert(static_cast<int>(ControlKind::OptionButton) ==
                static_cast<int>(expected::Kind::OptionButton));
  ASSERT_EQ(kLayout.size(), expected::kControls.size());
  for (std::size_t tab = 0; tab < kLayout.size(); ++tab) {
    const ControlSpec& got = kLayout[tab];
    const expected::ControlRow& want = expected::kControls[tab];
    SCOPED_TRACE(testing::Message() << "tab index " << tab);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(KindOf(got.kind), want.kind);
    EXPECT_EQ(got.container == Container::Frame1, want.container == expected::In::Frame1);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(Values(got.rect), (std::vector<int>{want.left, want.top, want.width, want.height}));
    EXPECT_EQ(got.font == FontStyle::Bold, want.font == expected::Font::Bold);
    EXPECT_EQ(&SpecOf(got.id), &got);  // ids are unique and SpecOf finds each one
  }
}

TEST(Layout, ListEntriesInOrder) {
  using List = std::vector<std::wstring_view>;
  for (const ControlSpec& control : kLayout) {
    const List entries(control.listEntries.begin(), control.listEntries.end());
    if (control.name == L"Combo1") {
      EXPECT_EQ(entries, List(expected::kCycleList.begin(), expected::kCycleList.end()));
    } else if (control.name == L"Combo2") {
      EXPECT_EQ(entries, List(expected::kPassList.begin(), expected::kPassList.end()));
    } else {
      EXPECT_TRUE(entries.empty()) << "entries on a control that is no combo box";
    }
  }
}

TEST(Layout, WindowConstants) {
  EXPECT_EQ(kFormCaption, expected::kFormCaption);
  EXPECT_EQ(kClientWidthTwips, expected::kClientWidthTwips);
  EXPECT_EQ(kClientHeightTwips, expected::kClientHeightTwips);
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), expected::kClientWidthPx96);
  EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), expected::kClientHeightPx96);
  EXPECT_EQ(kFontFace, L"MS Sans Serif");
  EXPECT_EQ(kFontSizeHundredthsPt, 825);
  EXPECT_EQ(kBoldWeight, 700);
  EXPECT_EQ(kRegularWeight, 400);
  EXPECT_EQ(kCyrillicCharset, 204);
  EXPECT_EQ(kRestartIntervalMs, expected::kRestartIntervalMs);
}

TEST(Layout, ControlsFitInsideTheirContainer) {
  const TwipsRect frame = SpecOf(ControlId::Frame1).rect;
  for (const ControlSpec& control : kLayout) {
    SCOPED_TRACE(testing::Message() << "control " << testing::PrintToString(control.name));
    const int right = control.container == Container::Window ? kClientWidthTwips : frame.width;
    const int bottom = control.container == Container::Window ? kClientHeightTwips : frame.height;
    EXPECT_LE(control.rect.left + control.rect.width, right);
    EXPECT_LE(control.rect.top + control.rect.height, bottom);
  }
}

TEST(Layout, PixelsAt96And144Dpi) {
  std::vector<int> values = {kClientWidthTwips, kClientHeightTwips};
  for (const ControlSpec& control : kLayout) {
    for (const int v : Values(control.rect)) {
      values.push_back(v);
    }
  }
  for (const int twips : values) {
    SCOPED_TRACE(testing::Message() << twips << " twips");
    ASSERT_EQ(twips % 15, 0);
    const int at96 = TwipsToPixels(twips, 96);
    EXPECT_EQ(at96, twips / 15);
    // 1.5 times the 96 dpi size, rounded to a whole pixel.
    EXPECT_NEAR(TwipsToPixels(twips, 144), 1.5 * at96, 0.5);
  }
}

TEST(Layout, TwipsRoundToTheNearestPixel) {
  EXPECT_EQ(TwipsToPixels(7, 96), 0);      // 0.47 px
  EXPECT_EQ(TwipsToPixels(8, 96), 1);      // 0.53 px
  EXPECT_EQ(TwipsToPixels(45, 120), 4);    // 3.75 px
  EXPECT_EQ(TwipsToPixels(855, 120), 71);  // 71.25 px
}

}  // namespace
}  // namespace addmorvane
