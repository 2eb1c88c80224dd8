// How the launch script is started, and how its exit code reads.
#include <gtest/gtest.h>

#include "launch/script_start.h"

namespace addmorvane {
namespace {

TEST(ScriptStart, TheSystemsOwnInterpreterWithoutAutoRunCallsTheScriptFromTheRootOfC) {
  const struct {
    const wchar_t* windows;
    bool redirected;
    const wchar_t* interpreter;
  } cases[] = {
      {L"C:\\Windows", false, L"C:\\Windows\\System32\\cmd.exe"},
      {L"C:\\Windows", true, L"C:\\Windows\\Sysnative\\cmd.exe"},
      {L"D:\\WINNT\\", false, L"D:\\WINNT\\System32\\cmd.exe"},
  };
  for (const auto& c : cases) {
    const InterpreterStart start = LaunchScriptStart(c.windows, c.redirected);
    EXPECT_EQ(start.application, c.interpreter);
    EXPECT_EQ(start.commandLine, L"\"" + std::wstring(c.interpreter) +
                                     L"\" /d /e:on /v:off /c call \"C:\\morvane1.bat\"");
    EXPECT_EQ(start.currentFolder, L"C:\\");
  }
}

TEST(ScriptStart, TheScriptsEnvironmentNamesTheSystemsOwnFoldersAndKeepsTheRest) {
  using namespace std::string_view_literals;
  const struct {
    std::wstring_view environment, expected;
  } cases[] = {
      {L"=C:=C:\\x\0dircmd=/s\0comspec=C:\\u\\cmd.exe\0PATH=C:\\u;C:\\Windows\0SYSTEMROOT=C:\\u\0"
       L"TEMP=C:\\t\0WinDir=C:\\u\0pathext=.X\0COPYCMD=/-y\0\0"sv,
       L"=C:=C:\\x\0ComSpec=C:\\Windows\\System32\\cmd.exe\0"
       L"Path=C:\\Windows\\System32;C:\\Windows;C:\\Windows\\System32\\Wbem;C:\\u;C:\\Windows\0"
       L"PATHEXT=.COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC\0"
       L"SystemRoot=C:\\Windows\0TEMP=C:\\t\0windir=C:\\Windows\0\0"sv},
      {L"\0"sv,
       L"ComSpec=C:\\Windows\\System32\\cmd.exe\0"
       L"Path=C:\\Windows\\System32;C:\\Windows;C:\\Windows\\System32\\Wbem\0"
       L"PATHEXT=.COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC\0"
       L"SystemRoot=C:\\Windows\0windir=C:\\Windows\0\0"sv},
      {L"aa=1\0COMSPECX=2\0Path=\0PATHEXTX=3\0\0"sv,
       L"aa=1\0ComSpec=C:\\Windows\\System32\\cmd.exe\0COMSPECX=2\0"
       L"Path=C:\\Windows\\System32;C:\\Windows;C:\\Windows\\System32\\Wbem\0"
       L"PATHEXT=.COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH;.MSC\0PATHEXTX=3\0"
       L"SystemRoot=C:\\Windows\0windir=C:\\Windows\0\0"sv},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptEnvironment(c.environment, L"C:\\Windows\\"), c.expected);
  }
}

TEST(ScriptStart, ExitCodesReadInDecimalAndStatusCodesInHexadecimal) {
  const std::pair<unsigned long, const wchar_t*> cases[] = {
      {1, L"1"},
      {3, L"3"},
      {259, L"259"},
      {0x7FFFFFFF, L"2147483647"},
      {0x80000000, L"0x80000000"},
      {0xC000013A, L"0xC000013A"},
      {0xFFFFFFFF, L"0xFFFFFFFF"},
  };
  for (const auto& [code, text] : cases) {
    EXPECT_EQ(ExitCodeText(code), text);
  }
}

}  // namespace
}  // namespace addmorvane
