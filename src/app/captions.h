// The window's titles: the program's name, which "применить" follows with the command line,
// and the title shown while the launch script starts.
#pragma once

#include <string_view>

namespace addmorvane {

inline constexpr std::wstring_view kFormCaption = L"addmorvane";
inline constexpr std::wstring_view kWaitingCaption = L"add morvane-ждите идет загрузка";

}  // namespace addmorvane
