// The window under load and faults: very long and unusual cycle texts, a thousand rounds of
// work, and a full disk. Whatever happens, the run script holds either its old content or the
// complete new one, and every refusal is a message with the system's own text.
#include "settings_fixture.h"

#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace addmorvane::wintest {
namespace {

constexpr std::wstring_view kFlags[] = {L"-p", L"-b", L"-e", L"-m", L">>ERRORS.TXT"};
const std::string kDefaultScript = ScriptFor("C:\\Morvane.com");

std::string Narrow(const std::wstring& ascii) {
  return std::string(ascii.begin(), ascii.end());
}

// True when `message` names the error by number and carries the system's text for it.
bool Reports(const std::wstring& message, DWORD code) {
  const std::wstring text = SystemText(code);
  return !text.empty() && message.find(text) != std::wstring::npos &&
         message.find(std::to_wstring(code)) != std::wstring::npos;
}

// The text another program leaves on the clipboard for the user to paste.
void PutOnClipboard(const std::wstring& text) {
  HWND owner =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  EXPECT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
  DestroyWindow(owner);
}

void PressCtrlV() {
  INPUT keys[4]{};
  const WORD vks[] = {VK_CONTROL, 'V', 'V', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = vks[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(4, keys, sizeof(INPUT)), 4u);
}

class FaultTest : public SettingsTest {
 protected:
  // Work mode with nothing chosen and the caret in the cycle switch's text field.
  void IntoEmptyCycleField() {
    Click(ControlId::Option1);
    Click(ControlId::Option2);
    Click(ControlId::Combo1);
    ASSERT_EQ(Text(ControlId::Combo1), L"");
  }
  // Presses "применить" with the cycle text as it stands and checks the one of its two
  // outcomes the program chose: the composed line everywhere, or a refusal that ends the
  // program with the run script as it was. Returns whether the line was applied.
  bool ApplyAndCheck(const std::string& scriptBefore, DWORD refusal) {
    const std::string line = "C:\\Morvane.com " + Narrow(Text(ControlId::Combo1)) + " ";
    Click(ControlId::Command3);
    const bool ended = !window().alive();
    if (ended) {
      EXPECT_EQ(actions_.messages.size(), 1u);
      EXPECT_TRUE(!actions_.messages.empty() && Reports(actions_.messages[0], refusal))
          << Utf8(actions_.messages.empty() ? L"" : actions_.messages[0]);
      EXPECT_EQ(RunScript(), scriptBefore);
    } else {
      EXPECT_TRUE(actions_.messages.empty()) << Utf8(actions_.messages[0]);
      EXPECT_EQ(RunScript(), ScriptFor(line));
      EXPECT_EQ(WindowText(window().hwnd()),
                L"addmorvane " + std::wstring(line.begin(), line.end()));
    }
    EXPECT_TRUE(TemporaryFilesInRoot().empty());
    return !ended;
  }
};

TEST_F(FaultTest, LongCycleTextPastedOrTypedIsAppliedWhole) {
  struct Row {
    const char* how;
    std::size_t length;
    bool paste;
  };
  for (const Row& row : {Row{"pasted", 100000, true}, Row{"typed", 2000, false}}) {
    SCOPED_TRACE(row.how);
    std::wstring text(row.length, L' ');
    for (std::size_t i = 0; i < text.size(); ++i) {
      text[i] = static_cast<wchar_t>(L'!' + (i * 7) % 94);  // printable ASCII, no blanks
    }
    IntoEmptyCycleField();
    if (row.paste) {
      PutOnClipboard(text);
      PressCtrlV();
    } else {
      TypeText(text);
    }
    // The field takes what its own limit allows; the program sets none.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(Control(ControlId::Combo1), &info));
    const std::size_t limit =
        static_cast<std::size_t>(SendMessageW(info.hwndItem, EM_GETLIMITTEXT, 0, 0));
    const std::size_t expected = std::min(row.length, limit);
    ASSERT_TRUE(PumpUntil([&] { return Text(ControlId::Combo1).size() == expected; }, 60000))
        << Text(ControlId::Combo1).size() << " of " << expected << " characters arrived";
    Flush();
    ASSERT_EQ(Text(ControlId::Combo1), text.substr(0, expected));
    std::printf("[   INFO   ] %s: %zu characters in the cycle field (its limit %zu)\n", row.how,
                expected, limit);
    ASSERT_TRUE(ApplyAndCheck(kDefaultScript, ERROR_SUCCESS));  // no refusal expected
  }
}

TEST_F(FaultTest, CharactersOutsideTheCodePageAreRefusedWithTheSystemText) {
  if (GetACP() == CP_UTF8) {
    GTEST_SKIP() << "every character fits a UTF-8 code page";
  }
  const std::wstring typed = L"-d \u4E2D \U0001F600";
  IntoEmptyCycleField();
  Type(typed);
  ASSERT_EQ(Text(ControlId::Combo1), typed);
  EXPECT_FALSE(ApplyAndCheck(kDefaultScript, ERROR_NO_UNICODE_TRANSLATION))
      << "code page " << GetACP();
}

TEST_F(FaultTest, ControlCharactersInAPastedCycleTextAreAppliedOrRefused) {
  for (const std::wstring pasted : {L"-d\tx", L"-d\x01x", L"-d\x7fx", L"\t\x01\x7f-s\t"}) {
    SCOPED_TRACE(Utf8(pasted));
    if (!window().alive()) {
      actions_.messages.clear();
      StartForm();
    }
    IntoEmptyCycleField();
    PutOnClipboard(pasted);
    PressCtrlV();
    ASSERT_TRUE(PumpUntil([&] { return !Text(ControlId::Combo1).empty(); }));
    Flush();
    // A single-line field may drop control characters; what counts is what it holds.
    const std::wstring held = Text(ControlId::Combo1);
    const bool applied = ApplyAndCheck(kDefaultScript, ERROR_NO_UNICODE_TRANSLATION);
    std::printf("[   INFO   ] pasted %zu characters, field kept %zu: %s\n", pasted.size(),
                held.size(), applied ? "applied" : "refused");
    if (applied) {
      Click(ControlId::Option1);  // back to the default for the next row's "before"
    }
  }
}

// What the window has created and not yet released: GDI objects, and USER objects or windows.
struct GuiCount {
  DWORD gdi = 0;
  DWORD user = 0;
};

// Wine's GetGuiResources answers 0 for everything. There, GDI objects are counted in the
// process's GDI handle table, which Windows and Wine publish at PEB.GdiSharedHandleTable (24-byte
// entries, type byte at offset 14, 0 for a free entry; stock objects included, their number is
// fixed), and USER objects are approximated by the thread's windows, controls included.
GuiCount CountGuiObjects(bool* fromSystem) {
  GuiCount count{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                 GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
  *fromSystem = count.gdi != 0 && count.user != 0;
  if (*fromSystem) {
    return count;
  }
  static_assert(sizeof(void*) == 8, "PEB offset for 64-bit processes");
  using QueryFn = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  const unsigned char* table = nullptr;
  if (query != nullptr &&
      query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) == 0) {
    const auto* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
  }
  count = {};
  for (std::size_t entry = 0; table != nullptr && entry < 0x10000; ++entry) {
    count.gdi += table[entry * 24 + 14] != 0 ? 1 : 0;
  }
  const auto countTree = [](HWND hwnd, LPARAM param) -> BOOL {
    ++*reinterpret_cast<DWORD*>(param);
    EnumChildWindows(
        hwnd,
        +[](HWND, LPARAM p) -> BOOL {
          ++*reinterpret_cast<DWORD*>(p);
          return TRUE;
        },
        param);
    return TRUE;
  };
  EnumThreadWindows(GetCurrentThreadId(), countTree, reinterpret_cast<LPARAM>(&count.user));
  return count;
}

// A leak shows as a slope: the counts after the rounds with real input, by which every path has
// run, against the counts 200 rounds later.
TEST_F(FaultTest, ManyRoundsEndInTrialModeWithoutGrowingResourceUse) {
  constexpr int kRealRounds = 10;
  constexpr int kRounds = kRealRounds + 200;
  GuiCount afterRealInput{};
  bool fromSystem = false;
  const ULONGLONG start = GetTickCount64();
  for (int round = 0; round < kRounds; ++round) {
    const int cycle = round % static_cast<int>(expected::kCycleList.size());
    const int pass = round % static_cast<int>(expected::kPassList.size());
    const ControlId flag = kFlagControls[static_cast<std::size_t>((round / 2) % 5)];
    if (round < kRealRounds) {
      Click(ControlId::Option2);
      ChooseFromList(ControlId::Combo1, cycle);
      ChooseFromList(ControlId::Combo2, pass);
      Click(flag);
      Click(ControlId::Command3);
    } else {
      // Real input costs about a second a round under Wine, so after the first rounds the
      // same paths are driven by the messages the controls themselves send: a button's
      // BM_CLICK, and a combo box's selection with its CBN_SELCHANGE to the frame.
      const auto choose = [&](ControlId combo, int index) {
        HWND hwnd = Control(combo);
        SendMessageW(hwnd, CB_SETCURSEL, WPARAM(index), 0);
        SendMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(int(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(hwnd));
      };
      SendMessageW(Control(ControlId::Option2), BM_CLICK, 0, 0);
      choose(ControlId::Combo1, cycle);
      choose(ControlId::Combo2, pass);
      SendMessageW(Control(flag), BM_CLICK, 0, 0);
      SendMessageW(Control(ControlId::Command3), BM_CLICK, 0, 0);
      PumpPending(&window());
    }
    const std::string line = Narrow(
        L"C:\\Morvane.com " + std::wstring(expected::kCycleList[static_cast<std::size_t>(cycle)]) +
        L" " + std::wstring(expected::kPassList[static_cast<std::size_t>(pass)]) + L" " +
        std::wstring(kFlags[static_cast<std::size_t>((round / 2) % 5)]));
    ASSERT_EQ(RunScript(), ScriptFor(line)) << "round " << round + 1;
    if (round < kRealRounds) {
      Click(ControlId::Option1);
    } else {
      SendMessageW(Control(ControlId::Option1), BM_CLICK, 0, 0);
      PumpPending(&window());
    }
    ASSERT_EQ(RunScript(), kDefaultScript) << "round " << round + 1;
    ASSERT_TRUE(actions_.messages.empty()) << "round " << round + 1;
    if (round + 1 == kRealRounds) {
      Flush();
      afterRealInput = CountGuiObjects(&fromSystem);
    }
  }
  Flush();
  const GuiCount atEnd = CountGuiObjects(&fromSystem);
  std::printf("[   INFO   ] %d rounds in %llu ms; %s: GDI %lu -> %lu, %s %lu -> %lu\n", kRounds,
              GetTickCount64() - start, fromSystem ? "GetGuiResources" : "handle table",
              afterRealInput.gdi, atEnd.gdi, fromSystem ? "USER" : "windows", afterRealInput.user,
              atEnd.user);

  EXPECT_EQ(State(),
            "frame=0 combo1='' combo2=''/0 flags=00 00 00 00 00 label3='" + Utf8(kIdle) + "'");
  EXPECT_EQ(Check(ControlId::Option1), BST_CHECKED);
  EXPECT_EQ(Check(ControlId::Option2), BST_UNCHECKED);
  EXPECT_EQ(WindowText(window().hwnd()), expected::kFormCaption);
  EXPECT_EQ(RunScript(), kDefaultScript);
  EXPECT_TRUE(TemporaryFilesInRoot().empty());
  ASSERT_GT(afterRealInput.gdi, 0u) << "no way to count GDI objects";
  // The counts see an object of each kind that the test itself creates.
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(CountGuiObjects(&fromSystem).gdi, atEnd.gdi + 1);
  DeleteObject(brush);
  HWND popup =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(CountGuiObjects(&fromSystem).user, atEnd.user + 1);
  DestroyWindow(popup);
  // By round 10 real input has chosen every cycle, pass and flag, so what the system creates once
  // and keeps (a control's cached brush or DC, a clipboard format) exists already; two more allow
  // for a cache filled late. A leak in a round would show 200 times over.
  EXPECT_LE(atEnd.gdi, afterRealInput.gdi + 2);
  EXPECT_LE(atEnd.user, afterRealInput.user + 2);
}

// Drive C: a small file system, filled up: tests/disk-full-run prepares such a prefix and
// sets ADDMORVANE_DISK_FULL.
class DiskFullTest : public SettingsTest {
 protected:
  void SetUp() override {
    if (std::getenv("ADDMORVANE_DISK_FULL") == nullptr) {
      GTEST_SKIP() << "needs a small drive C:; run through tests/disk-full-run";
    }
    SettingsTest::SetUp();
  }
  void TearDown() override {
    DeleteFileW(kFiller);
    SettingsTest::TearDown();
  }
  // Writes a filler file until the disk refuses; returns the error of the refusal.
  DWORD FillDisk() {
    ULARGE_INTEGER free{};
    EXPECT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &free, nullptr, nullptr));
    if (free.QuadPart > 64ull << 20) {
      ADD_FAILURE() << "C: has " << free.QuadPart << " bytes free; not a small drive";
      return ERROR_SUCCESS;
    }
    HANDLE file = CreateFileW(kFiller, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    const std::vector<char> block(64 * 1024, 'f');
    DWORD error = ERROR_SUCCESS;
    for (DWORD chunk = DWORD(block.size()); chunk > 0;) {
      DWORD written = 0;
      if (!WriteFile(file, block.data(), chunk, &written, nullptr)) {
        error = GetLastError();
        chunk /= 2;
      } else if (written < chunk) {
        chunk /= 2;
      }
    }
    CloseHandle(file);
    return error;
  }
  static constexpr const wchar_t* kFiller = L"C:\\filler.bin";
};

TEST_F(DiskFullTest, ApplyOnAFullDiskReportsItAndKeepsTheOldScript) {
  ChooseSwitches(1, 1);
  Click(ControlId::Command3);
  const std::string old = ScriptFor("C:\\Morvane.com -d -2");
  ASSERT_EQ(RunScript(), old);

  const DWORD fillError = FillDisk();
  ASSERT_TRUE(fillError == ERROR_DISK_FULL || fillError == ERROR_HANDLE_DISK_FULL) << fillError;
  Click(ControlId::Check1);
  Click(ControlId::Command3);
  EXPECT_TRUE(PumpUntil([&] { return !window().alive(); }));
  ASSERT_EQ(actions_.messages.size(), 1u);
  EXPECT_TRUE(Reports(actions_.messages[0], ERROR_DISK_FULL) ||
              Reports(actions_.messages[0], ERROR_HANDLE_DISK_FULL))
      << Utf8(actions_.messages[0]);
  EXPECT_EQ(RunScript(), old);
  EXPECT_TRUE(TemporaryFilesInRoot().empty());
}

}  // namespace
}  // namespace addmorvane::wintest
