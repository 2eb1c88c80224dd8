#include "harness.h"

#include <cstdio>
#include <regex>

#include "platform/error_text.h"

namespace addmorvane::wintest {

void RecordingActions::ReportFailure(unsigned long code, const std::wstring& action) {
  test::RecordingActions::ReportFailure(code, action);
  messages.push_back(FailureReportText(code, action));
}

std::wstring RunScriptPath() {
  return L"C:\\morvane.bat";
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  MakeWritable(path);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot prepare " << GetLastError();
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

void MakeWritable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  }
}

std::vector<std::wstring> TemporaryFilesInRoot() {
  // The writer's temporary files are "morvane.bat.<16 hex digits>.tmp".
  static const std::wregex kPattern(L"morvane\\.bat\\.[0-9a-f]{16}\\.tmp", std::regex::icase);
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(L"C:\\morvane.bat.*", &found);
  if (search == INVALID_HANDLE_VALUE) {
    return names;
  }
  do {
    if (std::regex_match(found.cFileName, kPattern)) {
      names.emplace_back(found.cFileName);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::wstring SystemText(DWORD code) {
  wchar_t buffer[512]{};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                 buffer, 512, nullptr);
  std::wstring text(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text;
}

namespace {

// A virtual key that no keyboard has (0x97 is unassigned): the input queue's marker.
constexpr WORD kMarkerKey = 0x97;
bool markerSeen = false;

}  // namespace

void PumpPending(FormWindow* window) {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_KEYUP && message.wParam == kMarkerKey) {
      markerSeen = true;
      continue;
    }
    if (message.message == WM_QUIT) {
      continue;
    }
    if (window == nullptr || !window->alive() || !window->PreTranslateMessage(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

bool PumpUntil(FormWindow* window, const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    PumpPending(window);
    if (done()) {
      return true;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) {
      return false;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

void Flush(FormWindow* window) {
  if (window == nullptr || !window->alive()) {
    // No window of ours to take input: only what is already queued is handed out.
    PumpPending(window);
    return;
  }
  INPUT marker{};
  marker.type = INPUT_KEYBOARD;
  marker.ki.wVk = kMarkerKey;
  marker.ki.dwFlags = KEYEVENTF_KEYUP;
  markerSeen = false;
  ASSERT_EQ(SendInput(1, &marker, sizeof(INPUT)), 1u);
  // A window that the input closed takes no more keys; the input has been handled then too.
  ASSERT_TRUE(PumpUntil(
      window, [&] { return markerSeen || !window->alive(); }, 10000))
      << "the input before the marker was never handled";
  // What handling the input posted is handed out before any later input: take it too.
  PumpPending(window);
}

POINT CentreOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

namespace {

void Send(INPUT input) {
  ASSERT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u);
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  input.mi.dx = MulDiv(screen.x, 65536, width) + 1;
  input.mi.dy = MulDiv(screen.y, 65536, height) + 1;
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return input;
}

INPUT KeyInput(WORD virtualKey, WORD scan, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = scan;
  input.ki.dwFlags = flags;
  return input;
}

}  // namespace

void MovePointerTo(POINT screen) {
  Send(MouseInput(0, screen));
}

void ClickAt(POINT screen) {
  Send(MouseInput(0, screen));
  Send(MouseInput(MOUSEEVENTF_LEFTDOWN, screen));
  Send(MouseInput(MOUSEEVENTF_LEFTUP, screen));
}

void PressPointer(POINT screen) {
  Send(MouseInput(0, screen));
  Send(MouseInput(MOUSEEVENTF_LEFTDOWN, screen));
}

void DragPointerTo(POINT screen) {
  Send(MouseInput(0, screen));
}

void ReleasePointer(POINT screen) {
  Send(MouseInput(MOUSEEVENTF_LEFTUP, screen));
}

void PressKey(WORD virtualKey, bool shift) {
  if (shift) {
    Send(KeyInput(VK_SHIFT, 0, 0));
  }
  Send(KeyInput(virtualKey, 0, 0));
  Send(KeyInput(virtualKey, 0, KEYEVENTF_KEYUP));
  if (shift) {
    Send(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
  }
}

void TypeText(const std::wstring& text) {
  for (const wchar_t character : text) {
    Send(KeyInput(0, character, KEYEVENTF_UNICODE));
    Send(KeyInput(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
  }
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return text;
}

ControlId ControlIdNamed(std::wstring_view name) {
  for (const ControlSpec& spec : kLayout) {
    if (spec.name == name) {
      return spec.id;
    }
  }
  ADD_FAILURE() << "no control of that name";
  return ControlId::Command1;
}

RECT RectInClient(HWND control, HWND form) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

::testing::AssertionResult CaptionShownWhole(HWND control, ControlKind kind, int dpi) {
  const std::wstring caption = WindowText(control);
  if (caption.empty() || kind == ControlKind::Frame) {
    return ::testing::AssertionSuccess();
  }
  RECT box{};
  GetClientRect(control, &box);
  const bool marked = kind == ControlKind::CheckBox || kind == ControlKind::OptionButton;
  const bool wraps = kind == ControlKind::CheckBox || kind == ControlKind::Label;
  // The 13-pixel box or circle, the gap after it and a margin; a push button's edges.
  box.right -= MulDiv(marked ? 20 : (kind == ControlKind::PushButton ? 8 : 0), dpi, 96);
  const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  RECT needed{0, 0, box.right, 0};
  DrawTextW(dc, caption.c_str(), int(caption.size()), &needed,
            DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  if (needed.right <= box.right && needed.bottom <= box.bottom) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "needs " << needed.right << "x" << needed.bottom
                                       << " px, has " << box.right << "x" << box.bottom;
}

void FormTest::SetUp() {
  MakeWritable(RunScriptPath());
  if (startInSetUp_) {
    StartForm();
  }
}

void FormTest::StartForm() {
  form_ = std::make_unique<Program>(actions_, timerIntervalMs_);
  form_->Start();
  // Keyboard input goes to the foreground window; make sure that is ours.
  SetForegroundWindow(window().hwnd());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window().hwnd(); }))
      << "the window did not come to the foreground";
  Flush();
}

void FormTest::TearDown() {
  form_.reset();
  PumpPending(nullptr);
  MakeWritable(RunScriptPath());
}

void FormTest::Click(ControlId id) {
  ClickAt(CentreOf(Control(id)));
  Flush();
}

void FormTest::MoveOver(ControlId id) {
  MovePointerTo(CentreOf(Control(id)));
  Flush();
}

void FormTest::Key(WORD virtualKey, bool shift) {
  PressKey(virtualKey, shift);
  Flush();
}

void FormTest::Type(const std::wstring& text) {
  TypeText(text);
  Flush();
}

void FormTest::ChooseFromList(ControlId combo, int index) {
  HWND hwnd = Control(combo);
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  // The drop-down button sits at the right end of the closed combo box.
  ClickAt({rect.right - 6, (rect.top + rect.bottom) / 2});
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(hwnd, &info));
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }))
      << "the list did not open";
  RECT item{};
  ASSERT_NE(
      SendMessageW(info.hwndList, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item)),
      LB_ERR);
  POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  ClientToScreen(info.hwndList, &centre);
  ClickAt(centre);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(info.hwndList) == FALSE; }))
      << "the list did not close";
  Flush();
}

}  // namespace addmorvane::wintest
