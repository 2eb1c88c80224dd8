// The real form: builds the one window and its controls from the layout table, keeps the
// form's contract (app/form.h) over Win32 controls, and turns Win32 notifications into events.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/events.h"
#include "app/form.h"
#include "app/handler_guard.h"
#include "app/layout.h"
#include "launch/restart_timing.h"
#include "base/system_actions.h"

namespace addmorvane {

// The window class of the program's window (and of its hidden owner).
inline constexpr wchar_t kFormClassName[] = L"AddmorvaneForm";

class FormWindow final : public Form {
 public:
  // `timerIntervalMs` is the restart timer's interval; tests shorten it.
  FormWindow(EventSink& sink,
             SystemActions& actions,
             unsigned timerIntervalMs = kRestartIntervalMs);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Creates the window hidden, with every control of the layout.
  void Create();
  // Shows the window centred on the screen, with the focus on the first control that can
  // take it.
  void Show();
  // Closes the window; the message loop ends with `exitCode`.
  void End(int exitCode) override;

  // Keyboard handling that a dialog box would do: Tab, arrow keys, and Enter on a focused
  // push button. Returns true when the message has been handled.
  bool PreTranslateMessage(MSG& message);

  HWND hwnd() const { return form_; }
  HWND control(ControlId id) const;
  bool alive() const { return form_ != nullptr; }
  int exitCode() const { return exitCode_; }

  // Properties.
  std::wstring Caption() const override;
  void SetCaption(std::wstring_view caption) override;
  std::wstring Text(ControlId id) const override;
  void SetText(ControlId id, std::wstring_view text) override;
  bool Enabled(ControlId id) const override;
  void SetEnabled(ControlId id, bool enabled) override;
  bool Visible(ControlId id) const override;
  void SetVisible(ControlId id, bool visible) override;
  std::int16_t Value(ControlId id) const override;
  // Selecting an option button from code deselects the others of its group and, like the
  // system's own check messages, raises no Click.
  void SetValue(ControlId id, std::int16_t value) override;
  bool Focused(ControlId id) const override;
  bool TimerEnabled() const override { return timerEnabled_; }
  void SetTimerEnabled(bool enabled) override;
  void Notify(const std::function<void()>& notification) override;
  void SetEndSessionHold(std::wstring_view reason) override;

  // Runs an event handler under the handler guard.
  void Raise(ControlId id, Event event);

 private:
  static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CheckBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(ControlId id, UINT code);
  void OnTimerTick();
  void OnActivate(bool active);
  void RestoreFocus();
  void CreateControls();
  void ApplyLayout();
  void FitComboHeight(HWND combo, int height) const;
  HFONT FontFor(const ControlSpec& spec, int width, int height);
  template <typename Action>
  void Guarded(Action&& action);

  EventSink& sink_;
  HandlerGuard guard_;
  unsigned timerIntervalMs_;
  HWND owner_ = nullptr;
  HWND form_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  HFONT boldFont_ = nullptr;
  HFONT regularFont_ = nullptr;
  std::vector<HFONT> fittedFonts_;
  std::array<HICON, 2> icons_{};  // ICON_SMALL, ICON_BIG
  WNDPROC checkBoxBaseProc_ = nullptr;
  // The control that had the keyboard focus when another window was activated.
  HWND focusWhileInactive_ = nullptr;
  int dpi_ = 96;
  bool timerEnabled_ = false;
  bool endSessionHeld_ = false;
  bool ending_ = false;
  bool postQuit_ = true;
  int exitCode_ = 0;
};

}  // namespace addmorvane
