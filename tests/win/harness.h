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

#include "app/main_form.h"
#include "platform/system_actions.h"

namespace addmorvane::wintest {

struct ShellCall {
  std::wstring path;
  ShowCommand show;
};

// Records the shell opens, restart requests and messages instead of carrying them out.
class RecordingActions final : public SystemActions {
 public:
  std::intptr_t ShellOpen(const std::wstring& path, ShowCommand show) override;
  unsigned long RequestRestart() override;
  void ShowMessage(const std::wstring& text) override;

  std::intptr_t shellResult = 42;  // what the shell answers; 32 or less is a failure
  std::vector<ShellCall> shellCalls;
  std::vector<ULONGLONG> restartTimes;  // GetTickCount64 at each request
  std::vector<std::wstring> messages;
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
// The run script's bytes for a command line of plain ASCII.
std::string ScriptFor(const std::string& commandLine);

// Processes the thread's messages the way the program's own loop does; returns how many.
int PumpPending(FormWindow* window);
// Processes messages until `done` holds or `timeoutMs` pass; returns whether it held.
bool PumpUntil(FormWindow* window, const std::function<bool()>& done, DWORD timeoutMs = 3000);
// Processes messages until the queue has stayed empty for a short quiet period.
void Flush(FormWindow* window);

// Real input.
POINT CentreOf(HWND hwnd);
void MovePointerTo(POINT screen);
void ClickAt(POINT screen);
void PressKey(WORD virtualKey, bool shift = false);
void TypeText(const std::wstring& text);

std::wstring WindowText(HWND hwnd);
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
  std::unique_ptr<MainForm> form_;
  bool startInSetUp_ = true;
};

}  // namespace addmorvane::wintest
