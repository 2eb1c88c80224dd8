// The window layer: builds the one window and its controls from the layout table, exposes
// the few control properties the handlers use, and turns Win32 notifications into events.
//
// Its contract with the handlers:
// - A property change made from code raises its own notification before the setter returns,
//   once per actual change (setting a combo box's text runs its Change handler).
// - Choosing a list entry, by pointer or arrow keys, raises Click with the chosen text
//   already in the combo box's text field.
// - While the frame is disabled nothing inside it takes pointer or keyboard input; pointer
//   movement over a disabled control reaches its container.
// - A SystemError escaping a handler ends the program with a message that carries the error
//   number and the system's text.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/events.h"
#include "app/layout.h"
#include "platform/system_actions.h"

namespace addmorvane {

class FormWindow {
 public:
  FormWindow(EventSink& sink, SystemActions& actions);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Creates the window hidden, with every control of the layout.
  void Create();
  // Shows the window centred on the screen, with the focus on the first control that can
  // take it.
  void Show();
  // Closes the window; the message loop ends with `exitCode`.
  void End(int exitCode);

  // Keyboard handling that a dialog box would do: Tab, arrow keys, and Enter on a focused
  // push button. Returns true when the message has been handled.
  bool PreTranslateMessage(MSG& message);

  HWND hwnd() const { return form_; }
  HWND control(ControlId id) const;
  bool alive() const { return form_ != nullptr; }
  int exitCode() const { return exitCode_; }

  // Properties.
  std::wstring Caption() const;
  void SetCaption(std::wstring_view caption);
  std::wstring Text(ControlId id) const;
  void SetText(ControlId id, std::wstring_view text);
  bool Enabled(ControlId id) const;
  void SetEnabled(ControlId id, bool enabled);
  bool Visible(ControlId id) const;
  void SetVisible(ControlId id, bool visible);
  // Check boxes: 0 unchecked, 1 checked. Option buttons: 1 selected, 0 not.
  std::int16_t Value(ControlId id) const;
  // Selecting an option button from code deselects the others of its group and, like the
  // system's own check messages, raises no Click.
  void SetValue(ControlId id, std::int16_t value);
  bool TimerEnabled() const { return timerEnabled_; }
  void SetTimerEnabled(bool enabled);

  // Runs an event handler, reporting a failure that escapes it and ending the program.
  // Handlers raised from within another handler propagate failures to the outer one.
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
  SystemActions& actions_;
  HWND owner_ = nullptr;
  HWND form_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  HFONT boldFont_ = nullptr;
  HFONT regularFont_ = nullptr;
  std::vector<HFONT> fittedFonts_;
  WNDPROC checkBoxBaseProc_ = nullptr;
  // The control that had the keyboard focus when another window was activated.
  HWND focusWhileInactive_ = nullptr;
  int dpi_ = 96;
  int nesting_ = 0;
  bool timerEnabled_ = false;
  bool ending_ = false;
  bool postQuit_ = true;
  int exitCode_ = 0;
};

}  // namespace addmorvane
