// The tester's switches and the fixed files around it. Every list in the
// window, every composed command line and every hint is built from these.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace addmorvane {

// Cycle switches, in the order the cycle list offers them.
inline constexpr std::array<std::wstring_view, 5> kCycleSwitches = {L"-f", L"-d", L"-s", L"-l",
                                                                    L"-v"};

// Pass switches, in the order the pass list offers them ("-0" last: it means 50 passes).
inline constexpr std::array<std::wstring_view, 4> kPassSwitches = {L"-1", L"-2", L"-5", L"-0"};

// Option flags, one per check box, in the order they are written into a command line.
// The last one is a redirection of the command interpreter, not a switch of the tester.
inline constexpr std::size_t kFlagCount = 5;
inline constexpr std::array<std::wstring_view, kFlagCount> kOptionFlags = {L"-p", L"-b", L"-e",
                                                                           L"-m", L">>ERRORS.TXT"};

// The script set. Only the run script is ever written by this program.
inline constexpr std::wstring_view kTesterPath = L"C:\\Morvane.com";
inline constexpr std::wstring_view kRunScriptPath = L"C:\\morvane.bat";
inline constexpr std::wstring_view kLaunchScriptPath = L"C:\\morvane1.bat";
inline constexpr std::wstring_view kFollowUpScriptPath = L"C:\\morvane2.bat";

// The run script's owner and access list, unless an administrator set its own (see
// files/new_access.h): it runs at the next start, outside Windows' protection, so only
// SYSTEM and Administrators may change it; Users may read and run it. Nothing is inherited.
inline constexpr std::wstring_view kRunScriptAccess =
    L"O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)";

// With no switches at all the tester runs its trial pass.
inline constexpr std::wstring_view kDefaultCommandLine = kTesterPath;

}  // namespace addmorvane
