#include "app/form_window.h"

#include <new>

#include "app/fonts.h"
#include "platform/error_text.h"
#include "platform/system_error.h"

namespace addmorvane {
namespace {

constexpr wchar_t kFormClass[] = L"AddmorvaneForm";
constexpr wchar_t kFrameClass[] = L"AddmorvaneFrame";
constexpr UINT_PTR kTimerId = 1;
constexpr int kIconId = 1;

constexpr std::size_t IndexOf(ControlId id) {
  return static_cast<std::size_t>(static_cast<int>(id) - static_cast<int>(ControlId::Command1));
}

bool IsControlId(int value) {
  return value >= static_cast<int>(ControlId::Command1) &&
         value < static_cast<int>(ControlId::Command1) + static_cast<int>(kControlCount);
}

FormWindow* FromHandle(HWND hwnd) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

struct ClassOf {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ClassOf WindowClassOf(const ControlSpec& spec, bool startsGroup) {
  const DWORD group = startsGroup ? WS_GROUP : 0;
  switch (spec.kind) {
    case ControlKind::PushButton:
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | group, 0};
    case ControlKind::Frame:
      return {kFrameClass, group, WS_EX_CONTROLPARENT};
    case ControlKind::ComboBox:
      return {L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | group, 0};
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | group, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | group, 0};
    case ControlKind::TextBox:
      return {L"EDIT", ES_AUTOHSCROLL | group, WS_EX_CLIENTEDGE};
    case ControlKind::OptionButton:
      return {L"BUTTON",
              DWORD{BS_AUTORADIOBUTTON} | (startsGroup ? DWORD{WS_GROUP | WS_TABSTOP} : 0), 0};
  }
  return {L"STATIC", 0, 0};
}

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Functions of newer Windows versions, looked up where they exist.
template <typename Function>
Function User32Function(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(hwnd); dpi != 0) {
      return static_cast<int>(dpi);
    }
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

SIZE WindowSizeForClient(int width, int height, int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, width, height};
  if (adjustForDpi == nullptr ||
      !adjustForDpi(&rect, kFormStyle, FALSE, kFormExStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rect, kFormStyle, FALSE, kFormExStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

// Lets nested handlers pass a failure on to the handler that raised them.
class NestingScope {
 public:
  explicit NestingScope(int& depth) : depth_(depth) { ++depth_; }
  NestingScope(const NestingScope&) = delete;
  NestingScope& operator=(const NestingScope&) = delete;
  ~NestingScope() { --depth_; }

 private:
  int& depth_;
};

}  // namespace

FormWindow::FormWindow(EventSink& sink, SystemActions& actions) : sink_(sink), actions_(actions) {}

FormWindow::~FormWindow() {
  ending_ = true;
  postQuit_ = false;
  if (form_ != nullptr) {
    DestroyWindow(form_);
  }
  if (owner_ != nullptr) {
    DestroyWindow(owner_);
  }
  DeleteObject(boldFont_);
  DeleteObject(regularFont_);
  for (HFONT font : fittedFonts_) {
    DeleteObject(font);
  }
}

void FormWindow::Create() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  static const bool registered = [instance] {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = &FormWindow::FormProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
    form.lpszClassName = kFormClass;
    WNDCLASSEXW frame = form;
    frame.lpfnWndProc = &FormWindow::FrameProc;
    frame.hIcon = nullptr;
    frame.lpszClassName = kFrameClass;
    return RegisterClassExW(&form) != 0 && RegisterClassExW(&frame) != 0;
  }();
  if (!registered) {
    throw SystemError(GetLastError(), L"Не удалось создать окно программы.");
  }

  // An owned window gets no taskbar button; the owner itself is never shown.
  owner_ = CreateWindowExW(0, kFormClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                           nullptr);
  const std::wstring caption(kFormCaption);
  form_ = CreateWindowExW(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, 0, 0, owner_, nullptr, instance, nullptr);
  if (form_ == nullptr) {
    throw SystemError(GetLastError(), L"Не удалось создать окно программы.");
  }
  SetWindowLongPtrW(form_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  SendMessageW(form_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(form_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  dpi_ = DpiOf(form_);
  CreateControls();
  ApplyLayout();
}

void FormWindow::CreateControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const ControlSpec* previous = nullptr;
  for (const ControlSpec& spec : kLayout) {
    HWND parent = spec.container == Container::Window ? form_ : control(ControlId::Frame1);
    // Option buttons that follow one another in a container form one group.
    const bool startsGroup = previous == nullptr || spec.kind != ControlKind::OptionButton ||
                             previous->kind != ControlKind::OptionButton ||
                             previous->container != spec.container;
    const ClassOf windowClass = WindowClassOf(spec, startsGroup);
    const std::wstring caption(spec.caption);
    HWND hwnd =
        CreateWindowExW(windowClass.exStyle, windowClass.name, caption.c_str(),
                        WS_CHILD | WS_VISIBLE | windowClass.style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
    if (hwnd == nullptr) {
      throw SystemError(GetLastError(), L"Не удалось создать окно программы.");
    }
    controls_[IndexOf(spec.id)] = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (spec.kind == ControlKind::ComboBox) {
      for (const std::wstring_view entry : spec.listEntries) {
        const std::wstring text(entry);
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      }
    } else if (spec.kind == ControlKind::CheckBox) {
      checkBoxBaseProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::CheckBoxProc)));
    } else if (spec.kind == ControlKind::TextBox) {
      SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
    }
    previous = &spec;
  }
}

// Places every control and sizes the window for the current dpi: at start and whenever the
// window moves to a display with another pixel density.
void FormWindow::ApplyLayout() {
  const HFONT oldBold = boldFont_;
  const HFONT oldRegular = regularFont_;
  std::vector<HFONT> oldFitted;
  oldFitted.swap(fittedFonts_);
  boldFont_ = CreateLayoutFont(FontStyle::Bold, dpi_);
  regularFont_ = CreateLayoutFont(FontStyle::Regular, dpi_);

  for (const ControlSpec& spec : kLayout) {
    HWND hwnd = control(spec.id);
    const int width = TwipsToPixels(spec.rect.width, dpi_);
    const int height = TwipsToPixels(spec.rect.height, dpi_);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(spec, width, height)), FALSE);
    // A drop-down combo box is given the height of its open list.
    const int placedHeight = spec.kind == ControlKind::ComboBox
                                 ? height * static_cast<int>(spec.listEntries.size() + 2)
                                 : height;
    SetWindowPos(hwnd, nullptr, TwipsToPixels(spec.rect.left, dpi_),
                 TwipsToPixels(spec.rect.top, dpi_), width, placedHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.kind == ControlKind::ComboBox) {
      FitComboHeight(hwnd, height);
    }
  }

  const SIZE outer = WindowSizeForClient(TwipsToPixels(kClientWidthTwips, dpi_),
                                         TwipsToPixels(kClientHeightTwips, dpi_), dpi_);
  SetWindowPos(form_, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(form_, nullptr, TRUE);

  DeleteObject(oldBold);
  DeleteObject(oldRegular);
  for (HFONT font : oldFitted) {
    DeleteObject(font);
  }
}

// Where the substitute font is wider than the layout's, a caption that would be cut off
// gets the same face a little smaller, so that every caption is shown whole.
HFONT FormWindow::FontFor(const ControlSpec& spec, int width, int height) {
  HFONT layoutFont = spec.font == FontStyle::Bold ? boldFont_ : regularFont_;
  const int mark = GetSystemMetrics(SM_CXMENUCHECK) + MulDiv(12, dpi_, 96);
  int textWidth = width;
  int textHeight = height;
  bool wraps = true;
  switch (spec.kind) {
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      textWidth = width - mark;
      break;
    case ControlKind::PushButton:
      textWidth = width - MulDiv(8, dpi_, 96);
      textHeight = height - MulDiv(4, dpi_, 96);
      wraps = false;
      break;
    case ControlKind::Label:
      break;
    default:
      return layoutFont;
  }
  if (spec.caption.empty() || CaptionFits(layoutFont, spec.caption, textWidth, textHeight, wraps)) {
    return layoutFont;
  }
  constexpr int kSmallestSize = 600;
  constexpr int kStep = 25;
  for (int size = kFontSizeHundredthsPt - kStep; size >= kSmallestSize; size -= kStep) {
    HFONT smaller = CreateLayoutFont(spec.font, dpi_, size);
    fittedFonts_.push_back(smaller);
    if (CaptionFits(smaller, spec.caption, textWidth, textHeight, wraps) ||
        size - kStep < kSmallestSize) {
      return smaller;
    }
  }
  return layoutFont;
}

// The closed height of a drop-down combo box follows its font; set it to the layout's.
// Some combo box implementations report the field height with a padding that setting it
// does not expect, so measure the result and correct it.
void FormWindow::FitComboHeight(HWND combo, int height) const {
  int fieldHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT rect{};
    GetWindowRect(combo, &rect);
    const int difference = height - (rect.bottom - rect.top);
    if (difference == 0 || fieldHeight + difference <= 0) {
      return;
    }
    fieldHeight += difference;
    SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), fieldHeight);
  }
}

void FormWindow::Show() {
  RECT window{};
  GetWindowRect(form_, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  SetWindowPos(form_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(form_, SW_SHOWNORMAL);
  SetForegroundWindow(form_);
  SetFocus(GetNextDlgTabItem(form_, nullptr, FALSE));
  UpdateWindow(form_);
}

void FormWindow::End(int exitCode) {
  if (ending_) {
    return;
  }
  ending_ = true;
  exitCode_ = exitCode;
  KillTimer(form_, kTimerId);
  timerEnabled_ = false;
  DestroyWindow(form_);
}

bool FormWindow::PreTranslateMessage(MSG& message) {
  if (form_ == nullptr || (message.hwnd != form_ && !IsChild(form_, message.hwnd))) {
    return false;
  }
  // Without a default button, Enter presses only the push button that has the focus.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(form_, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) !=
            0) {
      SendMessageW(focus, BM_CLICK, 0, 0);
      return true;
    }
  }
  return IsDialogMessageW(form_, &message) != FALSE;
}

HWND FormWindow::control(ControlId id) const {
  return controls_[IndexOf(id)];
}

std::wstring FormWindow::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(form_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(form_, text.data(), int(text.size()))));
  return text;
}

void FormWindow::SetCaption(std::wstring_view caption) {
  const std::wstring text(caption);
  SetWindowTextW(form_, text.c_str());
}

std::wstring FormWindow::Text(ControlId id) const {
  HWND hwnd = control(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return text;
}

void FormWindow::SetText(ControlId id, std::wstring_view text) {
  if (Text(id) == text) {
    return;
  }
  HWND hwnd = control(id);
  const ControlKind kind = SpecOf(id).kind;
  if (kind == ControlKind::ComboBox && text.empty()) {
    // Also forgets the chosen entry, so the arrow keys start again from the top.
    SendMessageW(hwnd, CB_SETCURSEL, WPARAM(-1), 0);
  }
  const std::wstring copy(text);
  SetWindowTextW(hwnd, copy.c_str());
  // Windows reports edits only when the user makes them; changes from code are ours to raise.
  if (kind == ControlKind::ComboBox || kind == ControlKind::TextBox) {
    Raise(id, Event::Change);
  }
}

bool FormWindow::Enabled(ControlId id) const {
  return IsWindowEnabled(control(id)) != FALSE;
}

void FormWindow::SetEnabled(ControlId id, bool enabled) {
  EnableWindow(control(id), enabled ? TRUE : FALSE);
}

bool FormWindow::Visible(ControlId id) const {
  return (GetWindowLongW(control(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void FormWindow::SetVisible(ControlId id, bool visible) {
  ShowWindow(control(id), visible ? SW_SHOWNA : SW_HIDE);
}

std::int16_t FormWindow::Value(ControlId id) const {
  return static_cast<std::int16_t>(SendMessageW(control(id), BM_GETCHECK, 0, 0));
}

void FormWindow::SetValue(ControlId id, std::int16_t value) {
  const ControlSpec& spec = SpecOf(id);
  if (spec.kind == ControlKind::OptionButton && value != 0) {
    for (const ControlSpec& other : kLayout) {
      if (other.kind == ControlKind::OptionButton && other.container == spec.container &&
          other.id != id) {
        SendMessageW(control(other.id), BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
  }
  SendMessageW(control(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void FormWindow::SetTimerEnabled(bool enabled) {
  // Enabling a running timer lets its current interval run on.
  if (enabled == timerEnabled_) {
    return;
  }
  timerEnabled_ = enabled;
  if (enabled) {
    SetTimer(form_, kTimerId, kRestartIntervalMs, nullptr);
  } else {
    KillTimer(form_, kTimerId);
  }
}

template <typename Action>
void FormWindow::Guarded(Action&& action) {
  if (ending_) {
    return;
  }
  if (nesting_ > 0) {
    NestingScope scope(nesting_);
    action();
    return;
  }
  unsigned long code = 0;
  std::wstring what;
  try {
    NestingScope scope(nesting_);
    action();
    return;
  } catch (const SystemError& error) {
    code = error.code();
    what = error.action();
  } catch (const std::bad_alloc&) {
    code = ERROR_NOT_ENOUGH_MEMORY;
    what = L"Программе не хватило памяти.";
  } catch (const std::exception&) {
    code = ERROR_INTERNAL_ERROR;
    what = L"Внутренняя ошибка программы.";
  }
  ReportFailure(code, what);
}

void FormWindow::Raise(ControlId id, Event event) {
  Guarded([&] { sink_.OnEvent(id, event); });
}

void FormWindow::OnTimerTick() {
  Guarded([&] { sink_.OnTimer(); });
}

void FormWindow::ReportFailure(unsigned long code, const std::wstring& action) {
  actions_.ShowMessage(FailureReportText(code, action));
  End(code == 0 ? 1 : static_cast<int>(code));
}

void FormWindow::OnCommand(ControlId id, UINT code) {
  const ControlKind kind = SpecOf(id).kind;
  HWND hwnd = control(id);
  switch (kind) {
    case ControlKind::PushButton:
      if (code == BN_CLICKED) {
        Raise(id, Event::Click);
      }
      break;
    case ControlKind::OptionButton:
      if (code == BN_CLICKED && Value(id) == BST_CHECKED) {
        Raise(id, Event::Click);
      }
      break;
    case ControlKind::ComboBox:
      if (code == CBN_EDITCHANGE) {
        Raise(id, Event::Change);
      } else if (code == CBN_SELCHANGE) {
        const LRESULT index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) {
          break;
        }
        const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, WPARAM(index), 0);
        std::wstring entry(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(hwnd, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        // The text field is updated only after this notification; the handler must see the
        // chosen text already.
        Guarded([&] {
          SetText(id, entry);
          sink_.OnEvent(id, Event::Click);
        });
      }
      break;
    default:
      break;
  }
}

LRESULT FormWindow::OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0 && IsControlId(LOWORD(wParam))) {
        OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
      }
      return 0;
    case WM_NEXTDLGCTL: {
      // What a dialog box does for Tab and the arrow keys (IsDialogMessage asks for it).
      HWND next = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                              : GetNextDlgTabItem(form_, GetFocus(), wParam != 0);
      if (next != nullptr) {
        SetFocus(next);
        const LRESULT code = SendMessageW(next, WM_GETDLGCODE, 0, 0);
        if ((code & DLGC_RADIOBUTTON) != 0 && lParam != 0 &&
            SendMessageW(next, BM_GETCHECK, 0, 0) != BST_CHECKED) {
          SendMessageW(next, BM_CLICK, 0, 0);
        }
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimerId && timerEnabled_) {
        OnTimerTick();
      }
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      ApplyLayout();
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(form_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      End(0);
      return 0;
    case WM_DESTROY:
      form_ = nullptr;
      if (postQuit_) {
        PostQuitMessage(exitCode_);
      }
      return 0;
    default:
      return DefWindowProcW(form_, message, wParam, lParam);
  }
}

LRESULT CALLBACK FormWindow::FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindow* self = FromHandle(hwnd);
  if (self == nullptr || self->form_ != hwnd) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->OnFormMessage(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindow* self = FromHandle(hwnd);
  if (self == nullptr || self->form_ == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // The frame only groups; its controls belong to the form.
      return SendMessageW(self->form_, message, wParam, lParam);
    case WM_MOUSEMOVE:
      self->Raise(ControlId::Frame1, Event::MouseMove);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(self->boldFont_);
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd, &paint);
      RECT client{};
      GetClientRect(hwnd, &client);
      HGDIOBJ previous = SelectObject(dc, self->boldFont_);
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      RECT border = client;
      border.top += metrics.tmHeight / 2;
      DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
      const std::wstring caption(SpecOf(ControlId::Frame1).caption);
      SIZE extent{};
      GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &extent);
      const int indent = MulDiv(8, self->dpi_, 96);
      RECT label{indent, 0, indent + extent.cx + 4, metrics.tmHeight};
      FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      TextOutW(dc, indent + 2, 0, caption.c_str(), int(caption.size()));
      SelectObject(dc, previous);
      EndPaint(hwnd, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK FormWindow::CheckBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FormWindow* self = FromHandle(hwnd);
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  if (message == WM_MOUSEMOVE && self->form_ != nullptr) {
    self->Raise(static_cast<ControlId>(GetDlgCtrlID(hwnd)), Event::MouseMove);
  }
  return CallWindowProcW(self->checkBoxBaseProc_, hwnd, message, wParam, lParam);
}

}  // namespace addmorvane
