#pragma once

#include "base/system_actions.h"

namespace addmorvane {

// The real thing, for the program itself. Its clipboard calls must come from the window's
// thread.
SystemActions& WindowsSystemActions();

}  // namespace addmorvane
