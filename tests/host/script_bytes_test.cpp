#include "runscript/script_bytes.h"

#include <gtest/gtest.h>

#include <string>

namespace addmorvane {
namespace {

using namespace std::string_literals;

TEST(RunScriptBytes, DefaultFileByteForByte) {
  const std::string bytes = RunScriptBytes("C:\\Morvane.com");
  ASSERT_EQ(bytes.size(), 35u);
  EXPECT_EQ(bytes.substr(0, 14), "C:\\Morvane.com");
  EXPECT_EQ(bytes.substr(14, 3), "\x0D\x0D\x0A");
  EXPECT_EQ(bytes.substr(17, 16), "@C:\\morvane2.bat");
  EXPECT_EQ(bytes.substr(33), "\x0D\x0A");
}

TEST(RunScriptBytes, SizeIsCommandLinePlus21WithFixedTail) {
  for (const std::size_t n : {0u, 1u, 20u, 255u, 256u, 4096u, 70000u}) {
    SCOPED_TRACE(testing::Message() << "n = " << n);
    std::string line(n, 'a');
    for (std::size_t i = 0; i < n; ++i) {
      line[i] = static_cast<char>('A' + i % 26);
    }
    const std::string bytes = RunScriptBytes(line);
    ASSERT_EQ(bytes.size(), n + 21);
    EXPECT_EQ(bytes.substr(0, n), line);
    EXPECT_EQ(bytes.substr(n), "\r\r\n@C:\\morvane2.bat\r\n");
  }
}

TEST(RunScriptBytes, EmptyCommandLineStartsWithTheExtraCarriageReturn) {
  const std::string bytes = RunScriptBytes("");
  ASSERT_EQ(bytes.size(), 21u);
  EXPECT_EQ(bytes.substr(0, 3), "\x0D\x0D\x0A");
}

TEST(RunScriptBytes, ComposedLineIsCopiedVerbatim) {
  // Spaces at either end, 8-bit code page bytes and an embedded NUL are not touched.
  const std::string line = "C:\\Morvane.com  -d \xF2\xE5\xF1\xF2 \0x "s;
  const std::string bytes = RunScriptBytes(line);
  EXPECT_EQ(bytes, line + "\r\r\n@C:\\morvane2.bat\r\n");
}

TEST(RunScriptBytes, ExactlyTwoLines) {
  const std::string bytes = RunScriptBytes("C:\\Morvane.com -v -0 -p -b -e -m >>ERRORS.TXT");
  EXPECT_EQ(bytes.size(), 45u + 21u);
  std::size_t lineFeeds = 0;
  for (const char c : bytes) {
    lineFeeds += c == '\n';
  }
  EXPECT_EQ(lineFeeds, 2u);
  EXPECT_EQ(bytes.back(), '\n');
  EXPECT_EQ(bytes.find("\r\r\n"), 45u);
}

}  // namespace
}  // namespace addmorvane
