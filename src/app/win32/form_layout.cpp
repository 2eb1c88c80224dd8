// Building the window from the layout table, at the display's pixel density.
#include <windows.h>

#include <array>
#include <cstddef>
#include <vector>

#include "app/captions.h"
#include "app/win32/fonts.h"
#include "app/win32/form_window.h"
#include "base/system_error.h"

namespace addmorvane {
namespace {

constexpr const wchar_t* kFormClass = kFormClassName;
constexpr wchar_t kFrameClass[] = L"AddmorvaneFrame";
constexpr int kIconId = 1;

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

// Before Windows 10 1607 the title bar keeps the system's dpi on every display, and with it the
// system's icon sizes.
int SystemMetricForDpi(int index, int dpi) {
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  static const auto metricForDpi =
      User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  return metricForDpi != nullptr ? metricForDpi(index, static_cast<UINT>(dpi))
                                 : GetSystemMetrics(index);
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

// Windows names a control that has no caption of its own, such as a list, after the text
// of the static just before it in z-order (which is creation order), and screen readers
// read that name: so each list's caption label is created just before its list, and every
// other control in the layout table's order. Statics take no focus, so the tab order stays
// that of the layout table.
std::array<const ControlSpec*, kControlCount> CreationOrder() {
  std::array<const ControlSpec*, kControlCount> order{};
  std::size_t next = 0;
  for (const ControlSpec& spec : kLayout) {
    bool isListLabel = false;
    for (const ListLabel& pair : kListLabels) {
      if (spec.id == pair.list) {
        order.at(next++) = &SpecOf(pair.label);
      }
      isListLabel = isListLabel || spec.id == pair.label;
    }
    if (!isListLabel) {
      order.at(next++) = &spec;
    }
  }
  return order;
}

}  // namespace

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
  dpi_ = DpiOf(form_);
  CreateControls();
  ApplyLayout();
}

void FormWindow::CreateControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const ControlSpec* previous = nullptr;
  for (const ControlSpec* const created : CreationOrder()) {
    const ControlSpec& spec = *created;
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
    controls_[ControlIndex(spec.id)] = hwnd;
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

// Places every control, sizes the window and loads its icons for the current dpi: at start and
// whenever the window moves to a display with another pixel density.
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

  // The title bar's and the task switcher's icons, each loaded at the size the system uses at
  // this dpi, so that the icon's own image for that size is shown and not a scaled one.
  for (WPARAM which = ICON_SMALL; which <= ICON_BIG; ++which) {
    const int size = SystemMetricForDpi(which == ICON_BIG ? SM_CXICON : SM_CXSMICON, dpi_);
    auto* icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconId),
                                               IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (icon != nullptr) {  // otherwise the window keeps the icon it has
      SendMessageW(form_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
      DestroyIcon(icons_[which]);  // nothing for the first, a null handle
      icons_[which] = icon;
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

}  // namespace addmorvane
