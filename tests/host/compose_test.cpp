#include "runscript/compose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace addmorvane {
namespace {

struct FlagRow {
  FlagValues values;
  const wchar_t* appended;  // every flag with its leading space, in command-line order
};

// All 32 combinations of the five check boxes, Check1 ... Check5.
constexpr FlagRow kFlagRows[] = {
    {{0, 0, 0, 0, 0}, L""},
    {{0, 0, 0, 0, 1}, L" >>ERRORS.TXT"},
    {{0, 0, 0, 1, 0}, L" -m"},
    {{0, 0, 0, 1, 1}, L" -m >>ERRORS.TXT"},
    {{0, 0, 1, 0, 0}, L" -e"},
    {{0, 0, 1, 0, 1}, L" -e >>ERRORS.TXT"},
    {{0, 0, 1, 1, 0}, L" -e -m"},
    {{0, 0, 1, 1, 1}, L" -e -m >>ERRORS.TXT"},
    {{0, 1, 0, 0, 0}, L" -b"},
    {{0, 1, 0, 0, 1}, L" -b >>ERRORS.TXT"},
    {{0, 1, 0, 1, 0}, L" -b -m"},
    {{0, 1, 0, 1, 1}, L" -b -m >>ERRORS.TXT"},
    {{0, 1, 1, 0, 0}, L" -b -e"},
    {{0, 1, 1, 0, 1}, L" -b -e >>ERRORS.TXT"},
    {{0, 1, 1, 1, 0}, L" -b -e -m"},
    {{0, 1, 1, 1, 1}, L" -b -e -m >>ERRORS.TXT"},
    {{1, 0, 0, 0, 0}, L" -p"},
    {{1, 0, 0, 0, 1}, L" -p >>ERRORS.TXT"},
    {{1, 0, 0, 1, 0}, L" -p -m"},
    {{1, 0, 0, 1, 1}, L" -p -m >>ERRORS.TXT"},
    {{1, 0, 1, 0, 0}, L" -p -e"},
    {{1, 0, 1, 0, 1}, L" -p -e >>ERRORS.TXT"},
    {{1, 0, 1, 1, 0}, L" -p -e -m"},
    {{1, 0, 1, 1, 1}, L" -p -e -m >>ERRORS.TXT"},
    {{1, 1, 0, 0, 0}, L" -p -b"},
    {{1, 1, 0, 0, 1}, L" -p -b >>ERRORS.TXT"},
    {{1, 1, 0, 1, 0}, L" -p -b -m"},
    {{1, 1, 0, 1, 1}, L" -p -b -m >>ERRORS.TXT"},
    {{1, 1, 1, 0, 0}, L" -p -b -e"},
    {{1, 1, 1, 0, 1}, L" -p -b -e >>ERRORS.TXT"},
    {{1, 1, 1, 1, 0}, L" -p -b -e -m"},
    {{1, 1, 1, 1, 1}, L" -p -b -e -m >>ERRORS.TXT"},
};

TEST(ComposeCommandLine, EveryFlagCombinationInFixedOrder) {
  static_assert(std::size(kFlagRows) == 32);
  for (std::size_t row = 0; row < std::size(kFlagRows); ++row) {
    SCOPED_TRACE(testing::Message() << "row " << row + 1);
    const auto line = ComposeCommandLine(L"-l", L"-5", kFlagRows[row].values);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, std::wstring(L"C:\\Morvane.com -l -5") + kFlagRows[row].appended);
  }
}

TEST(ComposeCommandLine, Examples) {
  struct Example {
    const wchar_t* cycle;
    const wchar_t* pass;
    FlagValues flags;
    const wchar_t* expected;
  };
  const Example examples[] = {
      {L"-d", L"-2", {1, 0, 1, 0, 0}, L"C:\\Morvane.com -d -2 -p -e"},
      {L"-f", L"-1", {0, 0, 0, 0, 0}, L"C:\\Morvane.com -f -1"},
      {L"-v", L"-0", {1, 1, 1, 1, 1}, L"C:\\Morvane.com -v -0 -p -b -e -m >>ERRORS.TXT"},
      {L"-s", L"-5", {0, 1, 1, 1, 0}, L"C:\\Morvane.com -s -5 -b -e -m"},
      {L"-d", L"-2", {1, 0, 0, 0, 1}, L"C:\\Morvane.com -d -2 -p >>ERRORS.TXT"},
  };
  for (const Example& e : examples) {
    EXPECT_EQ(ComposeCommandLine(e.cycle, e.pass, e.flags),
              std::optional<std::wstring>(e.expected));
  }
}

TEST(ComposeCommandLine, EmptyTextsKeepTheirSpaces) {
  EXPECT_EQ(ComposeCommandLine(L"", L"", {0, 0, 0, 0, 0}), L"C:\\Morvane.com  ");
  EXPECT_EQ(ComposeCommandLine(L"", L"", {1, 0, 0, 0, 0}), L"C:\\Morvane.com   -p");
  EXPECT_EQ(ComposeCommandLine(L"-d", L"", {0, 0, 0, 0, 0}), L"C:\\Morvane.com -d ");
  EXPECT_EQ(ComposeCommandLine(L"", L"-2", {0, 0, 0, 0, 1}), L"C:\\Morvane.com  -2 >>ERRORS.TXT");
}

TEST(ComposeCommandLine, TypedTextsPassThroughUntouched) {
  EXPECT_EQ(ComposeCommandLine(L" -d  x ", L"-D", {0, 0, 0, 1, 0}),
            L"C:\\Morvane.com  -d  x  -D -m");
  EXPECT_EQ(ComposeCommandLine(L"тест", L"\"-2\"", {0, 0, 0, 0, 0}),
            L"C:\\Morvane.com тест \"-2\"");
}

TEST(ComposeCommandLine, ValueOtherThanZeroOrOneGivesNoCommandLine) {
  for (const std::int16_t bad : {std::int16_t{2}, std::int16_t{-1}, std::int16_t{256},
                                 std::int16_t{-32768}, std::int16_t{32767}}) {
    for (std::size_t i = 0; i < kFlagCount; ++i) {
      for (const std::int16_t others : {std::int16_t{0}, std::int16_t{1}}) {
        FlagValues flags;
        flags.fill(others);
        flags[i] = bad;
        SCOPED_TRACE(testing::Message() << "value " << bad << " at " << i << ", others " << others);
        EXPECT_EQ(ComposeCommandLine(L"-d", L"-2", flags), std::nullopt);
      }
    }
  }
}

}  // namespace
}  // namespace addmorvane
