#pragma once

namespace addmorvane {

// Asks Windows to restart the machine as a planned maintenance restart, without forcing
// programs to close. The shutdown privilege is enabled first, since without it Windows
// refuses the request. Returns 0 when Windows accepted the request, else its error number.
unsigned long RequestSystemRestart();

}  // namespace addmorvane
