// How the launch script is started: by the system's own command interpreter, named by its full
// path, so that nothing planted in a folder the interpreter searches, nor a user's setting,
// takes part in what runs with the program's rights.
#pragma once

#include <string>
#include <string_view>

namespace addmorvane {

struct InterpreterStart {
  std::wstring application;    // the interpreter's full path
  std::wstring commandLine;    // the whole command line, the interpreter's own path first
  std::wstring currentFolder;  // where the script's relative names are looked up first
};

// `windowsFolder` is the system's Windows folder ("C:\Windows"). `redirected` is true for a
// 32-bit program on 64-bit Windows, whose System32 the system redirects to the 32-bit one:
// the script is to find the system's own 64-bit tools, as it does when started from Explorer.
InterpreterStart LaunchScriptStart(std::wstring_view windowsFolder, bool redirected);

// The environment the script runs in, as a block of "name=value" strings each ended by a
// null, with one more null at the end: the program's own `environment` (such a block too), but
// for SystemRoot, windir and ComSpec, which name the system's folder and interpreter, PATHEXT,
// which is Windows' default, and Path, which begins with the system's folders. A user may set
// his own in HKCU\Environment, and the script runs with full rights, so they come from the
// system's `windowsFolder` instead. TEMP and TMP stay the user's: Windows has no temporary
// folder in which users cannot make files (they may in %SystemRoot%\Temp), so a script must
// never run what it finds there. Sorted by name regardless of case, as Windows keeps it.
std::wstring ScriptEnvironment(std::wstring_view environment, std::wstring_view windowsFolder);

// An exit code as the user reads it: decimal, or hexadecimal (0xC000013A) for the codes with
// the top bit set, which are the system's status codes rather than a script's own numbers.
std::wstring ExitCodeText(unsigned long code);

}  // namespace addmorvane
