#include "press.h"

#include <windows.h>

#include "programs.h"

namespace bench {
namespace {

// The restart timer's first tick, counted from the press.
constexpr double kRestartTickMs = 5000;
// What the bench keeps back from the tick for ending the process, which takes milliseconds.
constexpr double kEndMarginMs = 1000;

struct Press {
  Process process;
  std::wstring title;  // before the click
  double clickMs;
};

Press PressButton(const std::wstring& path, LaunchMarker& marker) {
  Press press{Start(path, nullptr), {}, 0};
  SetForegroundWindow(press.process.window);
  const HWND button = ChildByCaption(press.process.window, L"выполнить");
  press.title = TextOf(press.process.window);
  marker.Arm();
  press.clickMs = NowMs();
  Click(button);
  return press;
}

double Deadline(const Press& press) {
  return press.clickMs + kRestartTickMs - kEndMarginMs;
}

// Ended, not closed: over at once, whatever the program does on closing.
void EndBeforeRestart(Press& press) {
  TerminateProcess(press.process.info.hProcess, 1);
  const double left = press.clickMs + kRestartTickMs - NowMs();
  if (left <= 0 ||
      WaitForSingleObject(press.process.info.hProcess, static_cast<DWORD>(left)) != WAIT_OBJECT_0) {
    Fail("a program did not end before its restart timer's first tick");
  }
  CloseHandle(press.process.info.hThread);
  CloseHandle(press.process.info.hProcess);
}

}  // namespace

double PressToScriptStart(const std::wstring& path, LaunchMarker& marker) {
  Press press = PressButton(path, marker);
  const double startedMs = marker.WaitForStart(press.process.info.hProcess, Deadline(press));
  EndBeforeRestart(press);
  return startedMs - press.clickMs;
}

double PressToAnswer(const std::wstring& path, LaunchMarker& marker) {
  Press press = PressButton(path, marker);
  const HWND window = press.process.window;
  // Both programs change the title when they take the press. A message sent before that
  // could be answered ahead of the click, while it still waits in the window's queue.
  WaitUntil(press.process, [&] { return TextOf(window) != press.title; });
  DWORD_PTR answer = 0;
  const double left = Deadline(press) - NowMs();
  if (left <= 0 || SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(left),
                                       &answer) == 0) {
    Fail("the window did not answer again in time after a press");
  }
  const double answeredMs = NowMs();
  marker.WaitForStart(press.process.info.hProcess, Deadline(press));
  EndBeforeRestart(press);
  return answeredMs - press.clickMs;
}

}  // namespace bench
