// The press of "выполнить", each in a fresh process of the program: timed from a real click to
// the launch script's start, or until the window answers again. Each process is ended before
// the restart timer that the press arms first ticks, since under Wine a restart request ends
// every program of the session, this driver too.
#pragma once

#include <string>

#include "launch_marker.h"

namespace bench {

// Milliseconds from the click to the launch script's first command.
double PressToScriptStart(const std::wstring& path, LaunchMarker& marker);

// Milliseconds from the click until the window answers a sent message again. The script's
// start is waited for too, unmeasured: a press whose script did not start measures nothing.
double PressToAnswer(const std::wstring& path, LaunchMarker& marker);

}  // namespace bench
