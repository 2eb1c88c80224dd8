#include "app/hints.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "expected/facts.h"

namespace addmorvane {
namespace {

// The texts themselves are checked through the handlers (handlers_hints_test.cpp); here, what
// a reader cannot see.

TEST(HintTables, TimesSignIsCyrillic) {
  // "2х", "50х" and the rest use U+0445, never the Latin x.
  EXPECT_NE(CycleDescription(L"-d")->find(L"2\u0445"), std::wstring_view::npos);
  EXPECT_NE(CycleDescription(L"-v")->find(L"25\u0445"), std::wstring_view::npos);
  EXPECT_EQ(PassDescription(L"-1")->front(), L'1');
  EXPECT_EQ(PassDescription(L"-1")->at(1), L'\u0445');
  EXPECT_EQ(PassDescription(L"-0")->substr(0, 3), L"50\u0445");
  for (const auto key : expected::kCycleList) {
    EXPECT_EQ(CycleDescription(key)->find(L'x'), std::wstring_view::npos) << "cycle";
  }
  for (const auto key : expected::kPassList) {
    EXPECT_EQ(PassDescription(key)->find(L'x'), std::wstring_view::npos) << "pass";
  }
}

TEST(HintTables, LookupIsExactAndCaseSensitive) {
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
