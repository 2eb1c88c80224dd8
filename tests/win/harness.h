// Test harness for the real window under Wine: a recording stand-in for what leaves the
// program, the window built and shown as the program builds it, and real pointer and
// keyboard input through SendInput.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/program.h"
#include "app/win32/windows_system_actions.h"
#include "expected/facts.h"
#include "recording_actions.h"

namespace addmorvane::wintest {

using expected::ScriptFor;
using test::ShellCall;

// The recorder of the native tests, with the real clipboard and the real run script behind
// it; `messages` also gets each failure report as the user reads it.
class RecordingActions final : public test::RecordingActions {
 public:
  RecordingActions() : test::RecordingActions(&WindowsSystemActions()) {
    onRestart = [this] { restartTimes.push_back(GetTickCount64()); };
  }
  void ReportFailure(unsigned long code, const std::wstring& action) override;

  std::vector<ULONGLONG> restartTimes;  // GetTickCount64 at each request
};

// The run script and the folder it lives in, on drive C: of the test prefix.
std::wstring RunScriptPath();
std::optional<std::string> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Removes a read-only attribute a test may have left, so the next test starts clean.
void MakeWritable(const std::wstring& path);
// The writer's temporary files left in C:\ (names of its pattern, whatever they are).
std::vector<std::wstring> TemporaryFilesInRoot();
// The system's text for an error number, as a failure report quotes it.
std::wstring SystemText(DWORD code);

// Processes the thread's queued messages the way the program's own loop does.
void PumpPending(FormWindow* window);
// Processes messages until `done` holds or `timeoutMs` pass; returns whether it held.
bool PumpUntil(FormWindow* window, const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Waits until this thread has taken out and handled every input sent before the call: a key
// release of a key that no keyboard has is sent behind it through the same input queue, and
// is handed out only after everything ahead of it. Without a live window, it only hands out
// what is already queued.
void Flush(FormWindow* window);

// Real input.
POINT CentreOf(HWND hwnd);
void MovePointerTo(POINT screen);
void ClickAt(POINT screen);
// A drag: press the left button at one point, move with it held, release it at another.
void PressPointer(POINT screen);
void DragPointerTo(POINT screen);
void ReleasePointer(POINT screen);
void PressKey(WORD virtualKey, bool shift = false);
void TypeText(const std::wstring& text);

std::wstring WindowText(HWND hwnd);
// The control that the program's documentation calls `name`.
ControlId ControlIdNamed(std::wstring_view name);
// The control's rectangle in the client coordinates of `form`.
RECT RectInClient(HWND control, HWND form);

// Whether the control's caption fits its text area in the control's own font: the box less
// the check mark or button margins, wrapped where the control wraps.
::testing::AssertionResult CaptionShownWhole(HWND control, ControlKind kind, int dpi);

// A test with the program's window started as the program starts it.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the window; tests that prepare the run script first call it themselves.
  void StartForm();

  FormWindow& window() { return form_->window(); }
  HWND Control(ControlId id) { return window().control(id); }
  HWND ControlNamed(std::wstring_view name) { return Control(ControlIdNamed(name)); }
  void Flush() { wintest::Flush(&window()); }
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    return wintest::PumpUntil(form_ ? &window() : nullptr, done, timeoutMs);
  }

  // User actions, each followed by a flush.
  void Click(ControlId id);
  void MoveOver(ControlId id);
  void Key(WORD virtualKey, bool shift = false);
  void Type(const std::wstring& text);
  // Opens the combo box's list with the pointer and clicks the entry at `index`.
  void ChooseFromList(ControlId combo, int index);

  std::string RunScript() { return ReadFileBytes(RunScriptPath()).value_or("<missing>"); }

  RecordingActions actions_;
  // The restart timer's interval; tests of the timer itself shorten it.
  unsigned timerIntervalMs_ = kRestartIntervalMs;
  std::unique_ptr<Program> form_;
  bool startInSetUp_ = true;
};

}  // namespace addmorvane::wintest
