#include "app/hints.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

namespace addmorvane {
namespace {

struct Text {
  std::wstring_view text;
  std::size_t characters;
};

struct Description {
  std::wstring_view key;
  std::wstring_view text;
  std::size_t characters;
};

TEST(Hints, IdleHint) {
  EXPECT_EQ(kIdleHint, L"Наведите на переключатель");
  EXPECT_EQ(kIdleHint.size(), 25u);
}

TEST(Hints, FlagHintsInCheckBoxOrder) {
  const Text expected[] = {
      {L"-p включение переменных шаблонов.", 33},
      {L"-b звук при обнаружении ошибки", 30},
      {L" -e не печатать ошибки на экран/файл", 36},
      {L"-m добавить фазу быстрого чтения с использования MMX комманд.", 61},
      {L">>ERRORS.TXT отправить ошибки в файл.", 37},
  };
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(testing::Message() << "Check" << i + 1);
    EXPECT_EQ(FlagHint(i), expected[i].text);
    EXPECT_EQ(FlagHint(i).size(), expected[i].characters);
  }
  EXPECT_EQ(FlagHint(2).front(), L' ');  // the Check3 hint keeps its leading blank
}

TEST(Hints, CycleDescriptions) {
  const Description expected[] = {
      {L"", L"кол-во циклов", 13},
      {L"-f", L"(fast)используется при пробном запуске.", 39},
      {L"-d", L"(default)50 циклов при 2х операции чтения.", 42},
      {L"-s", L"(slow)200 циклов при 5х операций чтения.", 40},
      {L"-l", L"(long)2000 циклов при 5х операций чтения.", 41},
      {L"-v", L"(very long)4000 циклов при 25х операций чтения.", 47},
  };
  for (const Description& d : expected) {
    SCOPED_TRACE(testing::Message() << "key of length " << d.key.size());
    const auto found = CycleDescription(d.key);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, d.text);
    EXPECT_EQ(found->size(), d.characters);
  }
}

TEST(Hints, PassDescriptions) {
  const Description expected[] = {
      {L"", L"кол-во операции чтенья", 22},
      {L"-1", L"1х операции чтения-для предварительного запуска.", 48},
      {L"-2", L"2х операции чтения-применять для медленных машин.", 49},
      {L"-5",
       L"5х операции чтения-баланс между качеством проверки и скоростью переборки разных "
       L"шаблонов.",
       89},
      {L"-0",
       L"50х операции чтения-ну очень долго и старательно,эмулирует программную область RAM.", 83},
  };
  for (const Description& d : expected) {
    SCOPED_TRACE(testing::Message() << "key of length " << d.key.size());
    const auto found = PassDescription(d.key);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, d.text);
    EXPECT_EQ(found->size(), d.characters);
  }
}

TEST(Hints, TimesSignIsCyrillic) {
  // "2х", "50х" and the rest use U+0445, never the Latin x.
  EXPECT_NE(CycleDescription(L"-d")->find(L"2\u0445"), std::wstring_view::npos);
  EXPECT_NE(CycleDescription(L"-v")->find(L"25\u0445"), std::wstring_view::npos);
  EXPECT_EQ(PassDescription(L"-1")->front(), L'1');
  EXPECT_EQ(PassDescription(L"-1")->at(1), L'\u0445');
  EXPECT_EQ(PassDescription(L"-0")->substr(0, 3), L"50\u0445");
  for (const auto key : {L"-f", L"-d", L"-s", L"-l", L"-v"}) {
    EXPECT_EQ(CycleDescription(key)->find(L'x'), std::wstring_view::npos) << "cycle";
  }
  for (const auto key : {L"-1", L"-2", L"-5", L"-0"}) {
    EXPECT_EQ(PassDescription(key)->find(L'x'), std::wstring_view::npos) << "pass";
  }
}

TEST(Hints, LookupIsExactAndCaseSensitive) {
  for (const auto text : {L"-F", L"-D", L" -d", L"-d ", L"d", L"-", L"-dd", L"-1", L"-0", L"х"}) {
    EXPECT_EQ(CycleDescription(text), std::nullopt)
        << "cycle text of length " << std::wstring_view(text).size();
  }
  for (const auto text : {L" -1", L"-1 ", L"-00", L"0", L"-50", L"-3", L"-d", L"\u20112"}) {
    EXPECT_EQ(PassDescription(text), std::nullopt)
        << "pass text of length " << std::wstring_view(text).size();
  }
}

}  // namespace
}  // namespace addmorvane
