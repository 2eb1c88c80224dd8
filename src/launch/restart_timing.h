// How often the program asks Windows to restart once "выполнить" has armed it, and every
// message that names that interval: they change together.
#pragma once

#include <string_view>

namespace addmorvane {

inline constexpr unsigned kRestartIntervalMs = 5000;

// Told once for each arming when Windows refuses the restart outright.
inline constexpr std::wstring_view kRestartRefusedText =
    L"Windows отказала в перезагрузке. Программа будет просить о ней каждые 5 секунд, пока её "
    L"не закроют кнопкой «выход».";

// Ends the message about a launch the shell did not confirm while an earlier press's restart
// requests go on.
inline constexpr std::wstring_view kEarlierRestartGoesOnText =
    L"Перезагрузка, назначенная раньше, по-прежнему запрашивается каждые 5 секунд.";

}  // namespace addmorvane
