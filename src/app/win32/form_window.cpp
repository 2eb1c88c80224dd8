#include "app/win32/form_window.h"

namespace addmorvane {
namespace {

constexpr UINT_PTR kTimerId = 1;

bool IsControlId(int value) {
  return value >= static_cast<int>(ControlId::Command1) &&
         value < static_cast<int>(ControlId::Command1) + static_cast<int>(kControlCount);
}

std::wstring WindowTextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return text;
}

FormWindow* FromHandle(HWND hwnd) {
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

FormWindow::FormWindow(EventSink& sink, SystemActions& actions, unsigned timerIntervalMs)
    : sink_(sink),
      guard_(actions, [this](int exitCode) { End(exitCode); }),
      timerIntervalMs_(timerIntervalMs) {}

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
  for (HICON icon : icons_) {
    DestroyIcon(icon);
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
  return controls_[ControlIndex(id)];
}

std::wstring FormWindow::Caption() const {
  return WindowTextOf(form_);
}

void FormWindow::SetCaption(std::wstring_view caption) {
  const std::wstring text(caption);
  SetWindowTextW(form_, text.c_str());
}

std::wstring FormWindow::Text(ControlId id) const {
  return WindowTextOf(control(id));
}

void FormWindow::SetText(ControlId id, std::wstring_view text) {
  if (Text(id) == text) {
    return;
  }
  HWND hwnd = control(id);
  const ControlKind kind = SpecOf(id).kind;
  if (kind == ControlKind::ComboBox && text.empty()) {
    // An empty field has no entry chosen either.
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

bool FormWindow::Focused(ControlId id) const {
  HWND focus = GetFocus();
  // A combo box's text field is a window of its own, inside the combo box.
  return focus != nullptr && (focus == control(id) || IsChild(control(id), focus));
}

void FormWindow::SetTimerEnabled(bool enabled) {
  // Enabling a running timer lets its current interval run on.
  if (enabled == timerEnabled_) {
    return;
  }
  timerEnabled_ = enabled;
  if (enabled) {
    SetTimer(form_, kTimerId, timerIntervalMs_, nullptr);
  } else {
    KillTimer(form_, kTimerId);
  }
}

template <typename Action>
void FormWindow::Guarded(Action&& action) {
  if (ending_) {
    return;
  }
  guard_.Run(action);
}

void FormWindow::Raise(ControlId id, Event event) {
  Guarded([&] { sink_.OnEvent(id, event); });
}

void FormWindow::Notify(const std::function<void()>& notification) {
  Guarded(notification);
}

// The reason shows in Windows' list of programs that hold off a restart; the answer to
// WM_QUERYENDSESSION is what holds it.
void FormWindow::SetEndSessionHold(std::wstring_view reason) {
  endSessionHeld_ = !reason.empty();
  if (form_ == nullptr) {
    return;
  }
  if (endSessionHeld_) {
    const std::wstring text(reason);
    ShutdownBlockReasonCreate(form_, text.c_str());
  } else {
    ShutdownBlockReasonDestroy(form_);
  }
}

void FormWindow::OnTimerTick() {
  Guarded([&] { sink_.OnTimer(); });
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
      if (code == CBN_SETFOCUS) {
        Raise(id, Event::GotFocus);
      } else if (code == CBN_EDITCHANGE) {
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

// As in a dialog box, the control that had the focus gets it back when the window is
// activated again; the system would otherwise give it to the window itself, where Enter and
// Space press nothing.
void FormWindow::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    focusWhileInactive_ = focus != nullptr && IsChild(form_, focus) ? focus : nullptr;
    return;
  }
  RestoreFocus();
}

void FormWindow::RestoreFocus() {
  HWND focus = focusWhileInactive_;
  // The control may have been disabled or hidden in the meantime.
  if (focus == nullptr || !IsChild(form_, focus) || !IsWindowEnabled(focus) ||
      !IsWindowVisible(focus)) {
    focus = GetNextDlgTabItem(form_, nullptr, FALSE);
  }
  if (focus != nullptr) {
    SetFocus(focus);
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
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_SETFOCUS:
      // The window itself takes no keys; the focus belongs to one of its controls.
      RestoreFocus();
      return 0;
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
    case WM_QUERYENDSESSION:
      return endSessionHeld_ ? FALSE : TRUE;
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
  // The focus is seen here rather than as BN_SETFOCUS: that needs BS_NOTIFY, with which a
  // double click would toggle a check box only once.
  if ((message == WM_MOUSEMOVE || message == WM_SETFOCUS) && self->form_ != nullptr) {
    self->Raise(static_cast<ControlId>(GetDlgCtrlID(hwnd)),
                message == WM_MOUSEMOVE ? Event::MouseMove : Event::GotFocus);
  }
  return CallWindowProcW(self->checkBoxBaseProc_, hwnd, message, wParam, lParam);
}

}  // namespace addmorvane
