// "применить": the choice becomes one command line, on the clipboard, in Text1, in the run
// script and in the title.
#include "settings_fixture.h"

#include <atomic>
#include <cwchar>
#include <utility>
#include <vector>

namespace addmorvane::wintest {
namespace {

std::wstring Wide(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

std::wstring ClipboardNow() {
  if (!OpenClipboard(nullptr)) {
    return L"<clipboard busy>";
  }
  std::wstring text = L"<no text>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::wmemcpy(static_cast<wchar_t*>(GlobalLock(memory)), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// Another program on the desktop that owns the clipboard's earlier text.
class OtherOwner {
 public:
  ~OtherOwner() { DestroyWindow(hwnd_); }
  void Put(const std::wstring& text) { PutOnClipboard(hwnd_, text); }

 private:
  HWND hwnd_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
};

class ApplyTest : public SettingsTest {
 protected:
  void ExpectApplied(const std::string& line) {
    EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane " + Wide(line));
    EXPECT_EQ(Text(ControlId::Text1), Wide(line));
    EXPECT_EQ(ClipboardNow(), Wide(line));
    EXPECT_EQ(RunScript(), ScriptFor(line));
  }

  OtherOwner other_;
};

// Programs that read plain text in either format find the command line.
std::string AnsiClipboardNow() {
  if (!OpenClipboard(nullptr)) {
    return "<clipboard busy>";
  }
  std::string text = "<no text>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

TEST_F(ApplyTest, TheChoiceBecomesTheCommandLineEverywhereInBothTextFormats) {
  other_.Put(L"what the user copied before");
  ChooseSwitches(1, 1);
  Click(ControlId::Check1);
  Click(ControlId::Check5);
  Click(ControlId::Command3);
  const std::string line = "C:\\Morvane.com -d -2 -p >>ERRORS.TXT";
  ExpectApplied(line);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ(AnsiClipboardNow(), line);
  EXPECT_TRUE(actions_.messages.empty());
}

// Another program's text, put exactly between the program's put and its read-back.
// CloseClipboard sends WM_DRAWCLIPBOARD to the first clipboard viewer as a notify message once
// the clipboard is free again; a viewer on the calling thread handles it before CloseClipboard
// returns. A viewer on another thread, like a format listener's posted WM_CLIPBOARDUPDATE,
// would race with the read-back instead.
class ForeignWriter {
 public:
  explicit ForeignWriter(std::wstring line) : line_(std::move(line)) {
    static const ATOM kClass = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = &ForeignWriter::Proc;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = L"AddmorvaneTestForeignWriter";
      return RegisterClassW(&windowClass);
    }();
    hwnd_ = CreateWindowExW(0, MAKEINTATOM(kClass), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    next_ = SetClipboardViewer(hwnd_);
  }
  ~ForeignWriter() {
    ChangeClipboardChain(hwnd_, next_);
    DestroyWindow(hwnd_);
  }
  int replaced() const { return replaced_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ForeignWriter*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == WM_DRAWCLIPBOARD) {
      if (!self->busy_ && ClipboardNow() == self->line_) {
        self->busy_ = true;
        PutOnClipboard(hwnd, L"FOREIGN TEXT");
        ++self->replaced_;
        self->busy_ = false;
      }
      return self->next_ != nullptr ? SendMessageW(self->next_, message, wParam, lParam) : 0;
    }
    if (self != nullptr && message == WM_CHANGECBCHAIN) {
      if (reinterpret_cast<HWND>(wParam) == self->next_) {
        self->next_ = reinterpret_cast<HWND>(lParam);
      } else if (self->next_ != nullptr) {
        SendMessageW(self->next_, message, wParam, lParam);
      }
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  std::wstring line_;
  HWND hwnd_ = nullptr;
  HWND next_ = nullptr;
  bool busy_ = false;
  int replaced_ = 0;
};

TEST_F(ApplyTest, AnotherProgramsTextBetweenPutAndReadBackReachesNoScript) {
  const std::string line = "C:\\Morvane.com -s -5";
  ChooseSwitches(2, 2);
  ForeignWriter writer(Wide(line));
  Click(ControlId::Command3);
  ASSERT_EQ(writer.replaced(), 1) << "the clipboard was not changed between put and read-back";
  EXPECT_EQ(ClipboardNow(), L"FOREIGN TEXT");
  EXPECT_EQ(Text(ControlId::Text1), Wide(line));
  EXPECT_EQ(WindowText(window().hwnd()), L"addmorvane " + Wide(line));
  EXPECT_EQ(RunScript(), ScriptFor(line));
}

// Another program holding the clipboard open, from a thread of its own.
class ClipboardHolder {
 public:
  // With `untilBlocked`, the hold ends as soon as the program's thread has been seen waiting
  // for the clipboard; otherwise it ends with Release().
  ClipboardHolder(HWND form, bool untilBlocked) : form_(form), untilBlocked_(untilBlocked) {
    if (untilBlocked_) {
      // The program's thread answers sent messages while it waits for the clipboard, as it
      // does while it waits for input: it is seen waiting when it answers one from within
      // the handler of "применить".
      inApply_ = false;
      sawWaiting_ = false;
      const DWORD thread = GetCurrentThreadId();
      hooks_[0] = SetWindowsHookExW(WH_CALLWNDPROC, &ClipboardHolder::BeforeCall, nullptr, thread);
      hooks_[1] =
          SetWindowsHookExW(WH_CALLWNDPROCRET, &ClipboardHolder::AfterCall, nullptr, thread);
    }
    thread_ = CreateThread(nullptr, 0, &ClipboardHolder::Run, this, 0, nullptr);
    WaitForSingleObject(held_, INFINITE);
  }
  ~ClipboardHolder() {
    Release();
    WaitForSingleObject(thread_, INFINITE);
    for (HANDLE handle : {thread_, held_, clicked_, release_}) {
      CloseHandle(handle);
    }
    for (HHOOK hook : hooks_) {
      if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
      }
    }
  }
  bool opened() const { return opened_; }
  void Clicked() { SetEvent(clicked_); }
  void Release() { SetEvent(release_); }
  void Join() { WaitForSingleObject(thread_, INFINITE); }
  bool sawProgramBlocked() const { return sawWaiting_; }

 private:
  static constexpr WPARAM kProbe = 0x5EE;

  static bool IsApplyClick(UINT message, WPARAM wParam) {
    return message == WM_COMMAND && LOWORD(wParam) == WORD(ControlId::Command3) &&
           HIWORD(wParam) == BN_CLICKED;
  }
  static LRESULT CALLBACK BeforeCall(int code, WPARAM wParam, LPARAM lParam) {
    const auto& call = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (IsApplyClick(call.message, call.wParam)) {
      inApply_ = true;
    } else if (call.message == WM_NULL && call.wParam == kProbe && inApply_) {
      sawWaiting_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK AfterCall(int code, WPARAM wParam, LPARAM lParam) {
    const auto& call = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (IsApplyClick(call.message, call.wParam)) {
      inApply_ = false;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static DWORD WINAPI Run(void* parameter) {
    auto& self = *static_cast<ClipboardHolder*>(parameter);
    self.opened_ = OpenClipboard(nullptr) != FALSE;
    SetEvent(self.held_);
    if (self.untilBlocked_) {
      WaitForSingleObject(self.clicked_, INFINITE);
      const ULONGLONG deadline = GetTickCount64() + 3000;
      while (!sawWaiting_ && GetTickCount64() < deadline) {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(self.form_, WM_NULL, kProbe, 0, SMTO_NORMAL, 50, &result);
      }
    } else {
      WaitForSingleObject(self.release_, INFINITE);
    }
    CloseClipboard();
    return 0;
  }

  inline static std::atomic<bool> inApply_{false};
  inline static std::atomic<bool> sawWaiting_{false};
  HWND form_;
  bool untilBlocked_;
  HHOOK hooks_[2] = {};
  HANDLE thread_ = nullptr;
  HANDLE held_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE clicked_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool opened_ = false;
};

TEST_F(ApplyTest, AClipboardHeldBrieflyByAnotherProgramIsWaitedFor) {
  const std::string line = "C:\\Morvane.com -f -0";
  ChooseSwitches(0, 3);
  ClipboardHolder holder(window().hwnd(), /*untilBlocked=*/true);
  ASSERT_TRUE(holder.opened());
  ClickAt(CentreOf(Control(ControlId::Command3)));
  holder.Clicked();
  EXPECT_TRUE(PumpUntil([&] { return Text(ControlId::Text1) == Wide(line); }));
  holder.Join();
  EXPECT_TRUE(holder.sawProgramBlocked());
  MoveAway();
  EXPECT_TRUE(actions_.messages.empty());
  ExpectApplied(line);
}

TEST_F(ApplyTest, AClipboardHeldTooLongEndsTheProgramWithAMessage) {
  ChooseSwitches(1, 0);
  other_.Put(L"copied before");
  const std::string script = RunScript();
  ClipboardHolder holder(window().hwnd(), /*untilBlocked=*/false);
  ASSERT_TRUE(holder.opened());
  ClickAt(CentreOf(Control(ControlId::Command3)));
  ASSERT_TRUE(PumpUntil([&] { return !actions_.messages.empty(); }));
  EXPECT_EQ(actions_.messages.size(), 1u);
  EXPECT_NE(actions_.messages.front().find(L"Не удалось открыть буфер обмена."), std::wstring::npos)
      << Utf8(actions_.messages.front());
  EXPECT_TRUE(PumpUntil([&] { return !window().alive(); }));
  EXPECT_EQ(RunScript(), script);
  holder.Release();
  holder.Join();
  EXPECT_EQ(ClipboardNow(), L"copied before");
}

}  // namespace
}  // namespace addmorvane::wintest
