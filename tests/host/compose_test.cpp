#include "runscript/compose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace addmorvane {
namespace {

// Every flag row and the documented examples go through "применить" in
// handlers_apply_test.cpp; here, the composer's own edges.

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
