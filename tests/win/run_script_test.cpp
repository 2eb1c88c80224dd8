#include "harness.h"

#include <regex>
#include <string>
#include <string_view>

#include "base/system_error.h"
#include "runscript/win32/write_run_script.h"

namespace addmorvane::wintest {
namespace {

using Id = ControlId;

// The default run script, byte for byte: the tester alone, the extra carriage return, and
// the follow-up script.
const std::string kDefaultScript = "C:\\Morvane.com\r\r\n@C:\\morvane2.bat\r\n";

template <typename Action>
std::optional<unsigned long> FailureCode(Action&& action) {
  try {
    action();
  } catch (const SystemError& error) {
    return error.code();
  }
  return std::nullopt;
}

bool IsReadOnly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

class RunScriptTest : public FormTest {
 protected:
  RunScriptTest() { startInSetUp_ = false; }
};

TEST_F(RunScriptTest, StartUpReplacesWhateverWasThereWithTheDefault) {
  ASSERT_EQ(kDefaultScript.size(), 35u);
  struct Before {
    const char* what;
    std::optional<std::string> bytes;
  };
  const Before rows[] = {
      {"no run script", std::nullopt},
      {"an older, longer run script", std::string(500, 'x')},
      {"one of the same size", std::string(35, 'y')},
  };
  for (const Before& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.bytes) {
      WriteFileBytes(RunScriptPath(), *row.bytes);
    } else {
      DeleteFileW(RunScriptPath().c_str());
    }
    StartForm();
    EXPECT_EQ(RunScript(), kDefaultScript);
    EXPECT_TRUE(TemporaryFilesInRoot().empty());
    form_.reset();
    wintest::Flush(nullptr);
  }
}

TEST_F(RunScriptTest, StartUpFailsWithoutShowingTheWindowWhenTheScriptCannotBeReplaced) {
  const std::string old = "old content\r\n";
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly ? "read-only" : "held open without sharing");
    WriteFileBytes(RunScriptPath(), old);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (readOnly) {
      ASSERT_TRUE(SetFileAttributesW(RunScriptPath().c_str(), FILE_ATTRIBUTE_READONLY));
    } else {
      held =
          CreateFileW(RunScriptPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    form_ = std::make_unique<Program>(actions_);
    const std::optional<unsigned long> code = FailureCode([&] { form_->Start(); });
    EXPECT_TRUE(code.has_value()) << "start-up went on";
    if (readOnly) {
      EXPECT_EQ(code, std::optional<unsigned long>{ERROR_ACCESS_DENIED});
    }
    EXPECT_FALSE(IsWindowVisible(form_->window().hwnd()));
    if (held != INVALID_HANDLE_VALUE) {
      CloseHandle(held);
    }
    EXPECT_EQ(ReadFileBytes(RunScriptPath()), old);
    EXPECT_EQ(IsReadOnly(RunScriptPath()), readOnly);
    EXPECT_TRUE(TemporaryFilesInRoot().empty());
    form_.reset();
    wintest::Flush(nullptr);
    MakeWritable(RunScriptPath());
  }
}

TEST_F(RunScriptTest, WriterPutsTheCommandLineBeforeTheFollowUpLine) {
  struct Row {
    std::wstring_view commandLine;
    std::string expected;
  };
  const Row rows[] = {
      {L"C:\\Morvane.com -d -2", "C:\\Morvane.com -d -2\r\r\n@C:\\morvane2.bat\r\n"},
      {L"", "\r\r\n@C:\\morvane2.bat\r\n"},
  };
  ASSERT_EQ(rows[0].expected.size(), 41u);
  ASSERT_EQ(rows[1].expected.size(), 21u);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.commandLine.size() << "-character line");
    WriteFileBytes(RunScriptPath(), std::string(500, 'x'));
    EXPECT_EQ(FailureCode([&] { WriteRunScript(row.commandLine); }), std::nullopt);
    EXPECT_EQ(RunScript(), row.expected);
  }
}

TEST_F(RunScriptTest, WriterRefusesTextOutsideTheCodePageAndKeepsTheOldFile) {
  if (GetACP() == CP_UTF8) {
    GTEST_SKIP() << "every character fits a UTF-8 code page";
  }
  const std::string old = "old content\r\n";
  WriteFileBytes(RunScriptPath(), old);
  EXPECT_EQ(FailureCode([] { WriteRunScript(L"C:\\Morvane.com \u4E2D"); }),
            std::optional<unsigned long>{ERROR_NO_UNICODE_TRANSLATION})
      << "code page " << GetACP();
  EXPECT_EQ(RunScript(), old);
  EXPECT_TRUE(TemporaryFilesInRoot().empty());
}

TEST_F(RunScriptTest, FailedRewriteReportsTheErrorAndEndsTheProgram) {
  StartForm();
  ASSERT_TRUE(SetFileAttributesW(RunScriptPath().c_str(), FILE_ATTRIBUTE_READONLY));
  Click(Id::Option2);
  ASSERT_TRUE(window().alive());
  Click(Id::Option1);  // trial mode writes the run script again
  EXPECT_TRUE(PumpUntil([&] { return !window().alive(); }));
  ASSERT_EQ(actions_.messages.size(), 1u);
  const std::wstring& message = actions_.messages[0];
  EXPECT_NE(message.find(L"C:\\morvane.bat"), std::wstring::npos) << message;
  EXPECT_TRUE(std::regex_search(message, std::wregex(L"(^|\\D)5(\\D|$)"))) << message;
  const std::wstring systemText = SystemText(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(systemText.empty());
  EXPECT_NE(message.find(systemText), std::wstring::npos) << message;
  EXPECT_EQ(RunScript(), kDefaultScript);
  EXPECT_TRUE(IsReadOnly(RunScriptPath()));
  EXPECT_TRUE(TemporaryFilesInRoot().empty());
}

}  // namespace
}  // namespace addmorvane::wintest
