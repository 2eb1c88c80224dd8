// How often the program asks Windows to restart once "выполнить" has armed it, how long it
// waits for the launch script, and every message that names those times: they change together.
#pragma once

#include <string_view>

namespace addmorvane {

inline constexpr unsigned kRestartIntervalMs = 5000;

// A launch script that has not ended by then arms no restart. Counted in the restart timer's
// ticks, so it is a whole number of them.
inline constexpr unsigned kScriptTimeLimitMs = 120000;
static_assert(kScriptTimeLimitMs % kRestartIntervalMs == 0);

// Told once for each arming when Windows refuses the restart outright.
inline constexpr std::wstring_view kRestartRefusedText =
    L"Windows отказала в перезагрузке. Программа будет просить о ней каждые 5 секунд, пока её "
    L"не закроют кнопкой «выход».";

// "выполнить" pressed once the restart is armed: running the script again while the requests
// go on could cut it off half-way.
inline constexpr std::wstring_view kRestartAlreadyRequestedText =
    L"Перезагрузка уже запрошена и запрашивается каждые 5 секунд.";

inline constexpr std::wstring_view kScriptTimeLimitText =
    L"Файл C:\\morvane1.bat не завершился за 2 минуты. Перезагрузка не назначена.";

}  // namespace addmorvane
