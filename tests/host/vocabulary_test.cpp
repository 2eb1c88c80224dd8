#include "runscript/vocabulary.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace addmorvane {
namespace {

template <typename List>
std::vector<std::wstring_view> AsVector(const List& list) {
  return {list.begin(), list.end()};
}

TEST(Vocabulary, SwitchListsInOfferOrder) {
  EXPECT_EQ(AsVector(kCycleSwitches),
            (std::vector<std::wstring_view>{L"-f", L"-d", L"-s", L"-l", L"-v"}));
  // "-0" (fifty passes) is offered last, after "-5".
  EXPECT_EQ(AsVector(kPassSwitches), (std::vector<std::wstring_view>{L"-1", L"-2", L"-5", L"-0"}));
}

TEST(Vocabulary, OptionFlagsInCommandLineOrder) {
  ASSERT_EQ(kFlagCount, 5u);
  // The redirection is upper case in the command line, whatever the check box caption shows.
  EXPECT_EQ(AsVector(kOptionFlags),
            (std::vector<std::wstring_view>{L"-p", L"-b", L"-e", L"-m", L">>ERRORS.TXT"}));
}

TEST(Vocabulary, ScriptSetPaths) {
  EXPECT_EQ(kTesterPath, L"C:\\Morvane.com");
  EXPECT_EQ(kRunScriptPath, L"C:\\morvane.bat");
  EXPECT_EQ(kLaunchScriptPath, L"C:\\morvane1.bat");
  EXPECT_EQ(kFollowUpScriptPath, L"C:\\morvane2.bat");
  EXPECT_EQ(kDefaultCommandLine, L"C:\\Morvane.com");
  EXPECT_EQ(kTesterPath.size(), 14u);
}

}  // namespace
}  // namespace addmorvane
