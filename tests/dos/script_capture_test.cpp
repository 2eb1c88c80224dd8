// The run scripts that the real program writes, taken for a DOS command interpreter to run
// (tests/dos/dos-run): the default one from start-up, and a composed one with every flag,
// chosen with real pointer input. Each is copied to <folder>\<case>\morvane.bat, where the
// folder is named by ADDMORVANE_DOS_SCRIPTS.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app_process.h"
#include "expected/facts.h"

namespace addmorvane::e2e {
namespace {

const std::wstring kRunScript = L"C:\\morvane.bat";

std::string ReadAll(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(hwnd, name, 64)));
}

BOOL CALLBACK CollectCombos(HWND hwnd, LPARAM param) {
  if (ClassOf(hwnd) == L"ComboBox") {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  }
  return TRUE;
}

// The window's combo boxes from top to bottom: the cycle switches, then the pass switches.
std::vector<HWND> CombosOf(HWND window) {
  std::vector<HWND> combos;
  EnumChildWindows(window, CollectCombos, reinterpret_cast<LPARAM>(&combos));
  std::sort(combos.begin(), combos.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return combos;
}

// The program's open drop-down list, or null while none is open. The list is a top-level
// window of its own, with neither owner nor parent that would tie it to its combo box; only
// one list is ever open at a time.
HWND OpenListOf(HWND combo) {
  DWORD process = 0;
  GetWindowThreadProcessId(combo, &process);
  for (const HWND hwnd : VisibleWindows(process)) {
    if (ClassOf(hwnd) == L"ComboLBox") {
      return hwnd;
    }
  }
  return nullptr;
}

// Opens the combo box's list with its drop-down button and clicks the entry at `index`.
::testing::AssertionResult ChooseFromList(HWND combo, int index) {
  RECT rect{};
  GetWindowRect(combo, &rect);
  if (!ClickAt(combo, {rect.right - 6, (rect.top + rect.bottom) / 2})) {
    return ::testing::AssertionFailure() << "the drop-down button could not be clicked";
  }
  HWND list = nullptr;
  if (!WaitFor([&] { return (list = OpenListOf(combo)) != nullptr; }, 5000)) {
    return ::testing::AssertionFailure() << "the list did not open";
  }
  // The list belongs to another process; its item height is a plain number to ask for.
  DWORD_PTR height = 0;
  DWORD_PTR top = 0;
  if (!SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &height) ||
      !SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 5000, &top) ||
      height == 0 || height == DWORD_PTR(LB_ERR)) {
    return ::testing::AssertionFailure() << "the list's items could not be measured";
  }
  RECT client{};
  GetClientRect(list, &client);
  POINT centre{client.right / 2, int((index - int(top)) * int(height) + int(height) / 2)};
  ClientToScreen(list, &centre);
  if (!ClickAt(list, centre)) {
    return ::testing::AssertionFailure() << "entry " << index << " could not be clicked";
  }
  if (!WaitFor([&] { return OpenListOf(combo) == nullptr; }, 5000)) {
    return ::testing::AssertionFailure() << "the list did not close";
  }
  return ::testing::AssertionSuccess();
}

class ScriptCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"ADDMORVANE_DOS_SCRIPTS", folder, MAX_PATH);
    ASSERT_GT(length, 0u) << "ADDMORVANE_DOS_SCRIPTS names no folder";
    ASSERT_LT(length, DWORD(MAX_PATH));
    folder_ = folder;
    // The file the program writes at start-up, not one left by an earlier test.
    SetFileAttributesW(kRunScript.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kRunScript.c_str());
    ASSERT_FALSE(FileExists(kRunScript));
    ASSERT_TRUE(app_.Start());
  }
  void TearDown() override {
    if (app_.window() != nullptr && app_.Click(L"выход")) {
      EXPECT_TRUE(app_.WaitForExit(5000));
    }
    app_.Terminate();
  }

  // Copies the run script as the program left it to <folder>\<name>\morvane.bat.
  void Keep(const std::wstring& name) {
    const std::wstring folder = folder_ + L"\\" + name;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileW(kRunScript.c_str(), (folder + L"\\morvane.bat").c_str(), FALSE));
  }

  HWND Control(const std::wstring& caption) {
    const HWND control = app_.Control(caption);
    EXPECT_NE(control, nullptr) << "no control " << ::testing::PrintToString(caption);
    return control;
  }

  AppProcess app_;
  std::wstring folder_;
};

TEST_F(ScriptCaptureTest, DefaultScriptFromStartUp) {
  EXPECT_EQ(ReadAll(kRunScript), expected::kDefaultScript);
  Keep(L"default");
}

TEST_F(ScriptCaptureTest, ComposedScriptWithEveryFlag) {
  ASSERT_TRUE(app_.Click(L"работа"));
  const HWND frame = Control(L"настройка");
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(frame) != FALSE; }, 5000));

  const std::vector<HWND> combos = CombosOf(app_.window());
  ASSERT_EQ(combos.size(), 2u);
  ASSERT_TRUE(ChooseFromList(combos[0], 3));  // "-l"
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(combos[1]) != FALSE; }, 5000));
  ASSERT_TRUE(ChooseFromList(combos[1], 3));  // "-0"

  // Check1 ... Check5, in the layout's tab order.
  for (std::size_t tab = 7; tab <= 11; ++tab) {
    const std::wstring caption(expected::kControls[tab].caption);
    SCOPED_TRACE(::testing::PrintToString(caption));
    const HWND check = Control(caption);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(check) != FALSE; }, 5000));
    ASSERT_TRUE(app_.Click(caption));
    ASSERT_TRUE(WaitFor(
        [&] {
          DWORD_PTR state = 0;
          return SendMessageTimeoutW(check, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
                 state == BST_CHECKED;
        },
        5000));
  }

  ASSERT_TRUE(app_.Click(L"применить"));
  const std::wstring title = L"addmorvane C:\\Morvane.com -l -0 -p -b -e -m >>ERRORS.TXT";
  ASSERT_TRUE(WaitFor([&] { return TextOf(app_.window()) == title; }, 5000))
      << "title: " << ::testing::PrintToString(TextOf(app_.window()));
  EXPECT_EQ(ReadAll(kRunScript),
            expected::ScriptFor("C:\\Morvane.com -l -0 -p -b -e -m >>ERRORS.TXT"));
  Keep(L"composed");
}

}  // namespace
}  // namespace addmorvane::e2e
