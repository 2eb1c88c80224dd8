#include "app/layout.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace addmorvane {
namespace {

using K = ControlKind;
constexpr Container W = Container::Window;
constexpr Container F = Container::Frame1;
constexpr FontStyle B = FontStyle::Bold;
constexpr FontStyle R = FontStyle::Regular;

struct Row {
  std::wstring_view name;
  ControlKind kind;
  Container container;
  std::wstring_view caption;
  int left, top, width, height;
  FontStyle font;
};

// In tab order: the index in this table is the tab index.
// clang-format off
const Row kExpected[] = {
    {L"Command1", K::PushButton,   W, L"выполнить", 2880, 3600, 1335, 375, B},
    {L"Command2", K::PushButton,   W, L"выход",     5760, 3600, 1335, 375, B},
    {L"Frame1",   K::Frame,        W, L"настройка",  120,    0, 6975, 3495, B},
    {L"Combo1",   K::ComboBox,     F, L"",           360,  360,  735, 315, R},
    {L"Combo2",   K::ComboBox,     F, L"",           360,  840,  735, 315, R},
    {L"Label1",   K::Label,        F, L"кол-во циклов",          1200, 360, 5415, 255, R},
    {L"Label2",   K::Label,        F, L"кол-во операции чтенья", 1200, 840, 5535, 495, R},
    {L"Check1",   K::CheckBox,     F, L"включение переменных шаблонов [-p]",     360, 1440, 2175, 375, R},
    {L"Check2",   K::CheckBox,     F, L"звук при обнаружении ошибки [-b]",       360, 1920, 2535, 375, R},
    {L"Check3",   K::CheckBox,     F, L"не печатать ошибки на экран/файл [-e]",  360, 2400, 2175, 375, R},
    {L"Check4",   K::CheckBox,     F, L"добавить фазу быстрого чтения с использования MMX комманд [-m]", 2880, 1320, 3015, 615, R},
    {L"Check5",   K::CheckBox,     F, L"отправить ошибки в файл [>>errors.txt]", 2880, 1920, 2415, 375, R},
    {L"Command3", K::PushButton,   F, L"применить",  240, 2880, 1935, 375, B},
    {L"Text1",    K::TextBox,      F, L"",          3480,  240, 2775, 375, R},
    {L"Label3",   K::Label,        F, L"",          2640, 2400, 4095, 855, R},
    {L"Option1",  K::OptionButton, W, L"проба",      240, 3600,  855, 255, B},
    {L"Option2",  K::OptionButton, W, L"работа",    1320, 3600,  975, 255, B},
    {L"Command4", K::PushButton,   W, L"помощь",    4320, 3600, 1335, 375, B},
};
// clang-format on

std::vector<int> Values(const TwipsRect& r) {
  return {r.left, r.top, r.width, r.height};
}

TEST(Layout, EveryControlInTabOrder) {
  ASSERT_EQ(kLayout.size(), std::size(kExpected));
  for (std::size_t tab = 0; tab < kLayout.size(); ++tab) {
    const ControlSpec& got = kLayout[tab];
    const Row& want = kExpected[tab];
    SCOPED_TRACE(testing::Message() << "tab index " << tab);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.container, want.container);
    EXPECT_EQ(got.caption, want.caption);
    EXPECT_EQ(Values(got.rect), (std::vector<int>{want.left, want.top, want.width, want.height}));
    EXPECT_EQ(got.font, want.font);
    EXPECT_EQ(&SpecOf(got.id), &got);  // ids are unique and SpecOf finds each one
  }
}

TEST(Layout, ListEntriesInOrder) {
  using List = std::vector<std::wstring_view>;
  for (const ControlSpec& control : kLayout) {
    const List entries(control.listEntries.begin(), control.listEntries.end());
    if (control.name == L"Combo1") {
      EXPECT_EQ(entries, (List{L"-f", L"-d", L"-s", L"-l", L"-v"}));
    } else if (control.name == L"Combo2") {
      EXPECT_EQ(entries, (List{L"-1", L"-2", L"-5", L"-0"}));
    } else {
      EXPECT_TRUE(entries.empty()) << "entries on a control that is no combo box";
    }
  }
}

TEST(Layout, WindowConstants) {
  EXPECT_EQ(kFormCaption, L"addmorvane");
  EXPECT_EQ(kClientWidthTwips, 7185);
  EXPECT_EQ(kClientHeightTwips, 4065);
  EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 479);
  EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 271);
  EXPECT_EQ(kFontFace, L"MS Sans Serif");
  EXPECT_EQ(kFontSizeHundredthsPt, 825);
  EXPECT_EQ(kBoldWeight, 700);
  EXPECT_EQ(kRegularWeight, 400);
  EXPECT_EQ(kCyrillicCharset, 204);
  EXPECT_EQ(kRestartIntervalMs, 5000u);
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
