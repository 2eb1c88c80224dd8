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

// Told once for each arming when Windows refuses the restart outright. A close ends only the
// requests: the boot entry the script set, and a suspended BitLocker, stay for the next start.
inline constexpr std::wstring_view kRestartRefusedText =
    L"Windows отказала в перезагрузке. Программа будет просить о ней каждые 5 секунд, пока её "
    L"не закроют кнопкой «выход». Закрытие программы отменяет только эти просьбы: то, что файл "
    L"C:\\morvane1.bat подготовил к следующему запуску, остаётся, и любая следующая "
    L"перезагрузка запустит DOS. Как это отменить, написано в файле README.txt.";

// "выполнить" pressed once the restart is armed: running the script again while the requests
// go on could cut it off half-way.
inline constexpr std::wstring_view kRestartAlreadyRequestedText =
    L"Перезагрузка уже запрошена и запрашивается каждые 5 секунд.";

// Why a restart or sign-out is held off while the launch script runs (Windows shows it).
inline constexpr std::wstring_view kEndSessionHoldText =
    L"Выполняется файл C:\\morvane1.bat. Перезагрузка до его завершения может оставить "
    L"подготовку к запуску DOS незаконченной.";

// The script is left to run: killed half-way it could leave the machine in a worse state
// than either end, and it may still prepare the next start.
inline constexpr std::wstring_view kScriptTimeLimitText =
    L"Файл C:\\morvane1.bat не завершился за 2 минуты. Программа больше не будет просить о "
    L"перезагрузке, но файл ещё может подготовить следующий запуск, и тогда любая следующая "
    L"перезагрузка запустит DOS. Как это отменить, написано в файле README.txt.";

}  // namespace addmorvane
