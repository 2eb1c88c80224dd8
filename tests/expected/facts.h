// What the window must show and write, written once, by hand, from the program's documented
// tables; never derived from the product's own tables or formulas. Every suite, native or
// under Wine, takes its expectations from here.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace addmorvane::expected {

// ---- the window ----

inline constexpr std::wstring_view kFormCaption = L"addmorvane";
inline constexpr std::wstring_view kWaitingCaption = L"add morvane-ждите идет загрузка";
inline constexpr std::wstring_view kIdleHint = L"Наведите на переключатель";
inline constexpr int kClientWidthTwips = 7185;
inline constexpr int kClientHeightTwips = 4065;
inline constexpr int kClientWidthPx96 = 479;
inline constexpr int kClientHeightPx96 = 271;

enum class Kind { PushButton, Frame, ComboBox, Label, CheckBox, TextBox, OptionButton };
enum class In { Window, Frame1 };
enum class Font { Bold, Regular };

struct ControlRow {
  std::wstring_view name;
  Kind kind;
  In container;
  std::wstring_view caption;
  int left, top, width, height;  // twips, from the container's outer top-left corner
  Font font;
};

// Every control, in tab order: the index is the tab index.
// clang-format off
inline constexpr std::array<ControlRow, 18> kControls = {{
    {L"Command1", Kind::PushButton,   In::Window, L"выполнить", 2880, 3600, 1335, 375, Font::Bold},
    {L"Command2", Kind::PushButton,   In::Window, L"выход",     5760, 3600, 1335, 375, Font::Bold},
    {L"Frame1",   Kind::Frame,        In::Window, L"настройка",  120,    0, 6975, 3495, Font::Bold},
    {L"Combo1",   Kind::ComboBox,     In::Frame1, L"",           360,  360,  735, 315, Font::Regular},
    {L"Combo2",   Kind::ComboBox,     In::Frame1, L"",           360,  840,  735, 315, Font::Regular},
    {L"Label1",   Kind::Label,        In::Frame1, L"кол-во циклов",          1200, 360, 5415, 255, Font::Regular},
    {L"Label2",   Kind::Label,        In::Frame1, L"кол-во операции чтенья", 1200, 840, 5535, 495, Font::Regular},
    {L"Check1",   Kind::CheckBox,     In::Frame1, L"включение переменных шаблонов [-p]",     360, 1440, 2175, 375, Font::Regular},
    {L"Check2",   Kind::CheckBox,     In::Frame1, L"звук при обнаружении ошибки [-b]",       360, 1920, 2535, 375, Font::Regular},
    {L"Check3",   Kind::CheckBox,     In::Frame1, L"не печатать ошибки на экран/файл [-e]",  360, 2400, 2175, 375, Font::Regular},
    {L"Check4",   Kind::CheckBox,     In::Frame1, L"добавить фазу быстрого чтения с использования MMX комманд [-m]", 2880, 1320, 3015, 615, Font::Regular},
    {L"Check5",   Kind::CheckBox,     In::Frame1, L"отправить ошибки в файл [>>errors.txt]", 2880, 1920, 2415, 375, Font::Regular},
    {L"Command3", Kind::PushButton,   In::Frame1, L"применить",  240, 2880, 1935, 375, Font::Bold},
    {L"Text1",    Kind::TextBox,      In::Frame1, L"",          3480,  240, 2775, 375, Font::Regular},
    {L"Label3",   Kind::Label,        In::Frame1, L"",          2640, 2400, 4095, 855, Font::Regular},
    {L"Option1",  Kind::OptionButton, In::Window, L"проба",      240, 3600,  855, 255, Font::Bold},
    {L"Option2",  Kind::OptionButton, In::Window, L"работа",    1320, 3600,  975, 255, Font::Bold},
    {L"Command4", Kind::PushButton,   In::Window, L"помощь",    4320, 3600, 1335, 375, Font::Bold},
}};
// clang-format on

// The lists of Combo1 and Combo2, in order; every test that needs the switches reads them here.
inline constexpr auto kCycleList =
    std::to_array<std::wstring_view>({L"-f", L"-d", L"-s", L"-l", L"-v"});
inline constexpr auto kPassList = std::to_array<std::wstring_view>({L"-1", L"-2", L"-5", L"-0"});

// ---- the hints ----

struct Hint {
  std::wstring_view text;
  std::size_t characters;
};

// Shown in Label3 over Check1 ... Check5.
inline constexpr std::array<Hint, 5> kFlagHints = {{
    {L"-p включение переменных шаблонов.", 33},
    {L"-b звук при обнаружении ошибки", 30},
    {L" -e не печатать ошибки на экран/файл", 36},
    {L"-m добавить фазу быстрого чтения с использования MMX комманд.", 61},
    {L">>ERRORS.TXT отправить ошибки в файл.", 37},
}};

struct Description {
  std::wstring_view key;  // the combo box's text
  std::wstring_view text;
};

// Shown in Label1 for the text of Combo1 (the "х" is Cyrillic).
inline constexpr auto kCycleDescriptions = std::to_array<Description>({
    {L"", L"кол-во циклов"},
    {L"-f", L"(fast)используется при пробном запуске."},
    {L"-d", L"(default)50 циклов при 2х операции чтения."},
    {L"-s", L"(slow)200 циклов при 5х операций чтения."},
    {L"-l", L"(long)2000 циклов при 5х операций чтения."},
    {L"-v", L"(very long)4000 циклов при 25х операций чтения."},
});

// Shown in Label2 for the text of Combo2.
inline constexpr auto kPassDescriptions = std::to_array<Description>({
    {L"", L"кол-во операции чтенья"},
    {L"-1", L"1х операции чтения-для предварительного запуска."},
    {L"-2", L"2х операции чтения-применять для медленных машин."},
    {L"-5",
     L"5х операции чтения-баланс между качеством проверки и скоростью переборки разных "
     L"шаблонов."},
    {L"-0", L"50х операции чтения-ну очень долго и старательно,эмулирует программную область RAM."},
});

// ---- the restart ----

// The interval between restart requests and the words that name it in the messages; how much
// earlier the real program's first request may end it under Wine (timer granularity) and how
// much later (Wine's restart of the session takes up to 3 s to end a program).
inline constexpr unsigned kRestartIntervalMs = 5000;
inline constexpr std::wstring_view kEveryInterval = L"каждые 5 секунд";
inline constexpr unsigned kRestartEarlyMarginMs = 20;
inline constexpr unsigned kRestartLateMarginMs = 3000;

// ---- the launch script and help: what the program says ----

inline constexpr std::wstring_view kLaunchNotStarted = L"Не удалось запустить C:\\morvane1.bat.";
// How a refusal to open the launch script begins; the reasons follow.
inline constexpr std::wstring_view kLaunchRefusedStart = L"Файл C:\\morvane1.bat не открыт: ";
inline constexpr std::wstring_view kScriptStillRuns =
    L"Файл C:\\morvane1.bat ещё выполняется. Перезагрузка будет запрошена, когда он успешно "
    L"завершится.";
inline constexpr std::wstring_view kScriptEndUnknown =
    L"Не удалось узнать, как завершился файл C:\\morvane1.bat. Перезагрузка не назначена.";
inline constexpr std::wstring_view kRestartAlreadyRequested =
    L"Перезагрузка уже запрошена и запрашивается каждые 5 секунд.";
inline std::wstring ScriptExitedWith(std::wstring_view code) {
  return L"Файл C:\\morvane1.bat завершился с кодом " + std::wstring(code) +
         L". Перезагрузка не назначена.";
}
inline constexpr std::wstring_view kHelpMissing =
    L"Файл справки Help.hlp не найден в папке программы.";
// Where no shell with the user's own rights answers; the file's full path follows.
inline constexpr std::wstring_view kHelpByHandLead =
    L"Справка не открыта: программа работает с правами администратора и открывает файлы только "
    L"через Проводник с правами пользователя, а он не ответил. Откройте файл сами:\n\n";
// What the program says once the launch script may have prepared the next start: closing it
// ends only its own requests.
inline constexpr std::wstring_view kTimeLimitMessage =
    L"Файл C:\\morvane1.bat не завершился за 2 минуты. Программа больше не будет просить о "
    L"перезагрузке, но файл ещё может подготовить следующий запуск, и тогда любая следующая "
    L"перезагрузка запустит DOS. Как это отменить, написано в файле README.txt.";
inline constexpr std::wstring_view kRestartRefusedMessage =
    L"Windows отказала в перезагрузке. Программа будет просить о ней каждые 5 секунд, пока её "
    L"не закроют кнопкой «выход». Закрытие программы отменяет только эти просьбы: то, что файл "
    L"C:\\morvane1.bat подготовил к следующему запуску, остаётся, и любая следующая "
    L"перезагрузка запустит DOS. Как это отменить, написано в файле README.txt.";
// Given to Windows while the launch script runs, to hold off a restart or sign-out.
inline constexpr std::wstring_view kEndSessionHold =
    L"Выполняется файл C:\\morvane1.bat. Перезагрузка до его завершения может оставить "
    L"подготовку к запуску DOS незаконченной.";
// "выполнить" while another copy of the program runs the launch script.
inline constexpr std::wstring_view kScriptRunsInAnotherCopy =
    L"Файл C:\\morvane1.bat уже выполняется: его запустила другая копия программы. Дождитесь, "
    L"пока он завершится.";

// ---- the command line ----

inline constexpr std::wstring_view kDefaultCommandLine = L"C:\\Morvane.com";

struct FlagRow {
  std::array<short, 5> values;  // Check1 ... Check5
  std::wstring_view appended;   // every set flag with its leading space, in order
};

// All 32 combinations of the five flags.
inline constexpr std::array<FlagRow, 32> kFlagRows = {{
    {{0, 0, 0, 0, 0}, L""},
    {{0, 0, 0, 0, 1}, L" >>ERRORS.TXT"},
    {{0, 0, 0, 1, 0}, L" -m"},
    {{0, 0, 0, 1, 1}, L" -m >>ERRORS.TXT"},
    {{0, 0, 1, 0, 0}, L" -e"},
    {{0, 0, 1, 0, 1}, L" -e >>ERRORS.TXT"},
    {{0, 0, 1, 1, 0}, L" -e -m"},
    {{0, 0, 1, 1, 1}, L" -e -m >>ERRORS.TXT"},
    {{0, 1, 0, 0, 0}, L" -b"},
    {{0, 1, 0, 0, 1}, L" -b >>ERRORS.TXT"},
    {{0, 1, 0, 1, 0}, L" -b -m"},
    {{0, 1, 0, 1, 1}, L" -b -m >>ERRORS.TXT"},
    {{0, 1, 1, 0, 0}, L" -b -e"},
    {{0, 1, 1, 0, 1}, L" -b -e >>ERRORS.TXT"},
    {{0, 1, 1, 1, 0}, L" -b -e -m"},
    {{0, 1, 1, 1, 1}, L" -b -e -m >>ERRORS.TXT"},
    {{1, 0, 0, 0, 0}, L" -p"},
    {{1, 0, 0, 0, 1}, L" -p >>ERRORS.TXT"},
    {{1, 0, 0, 1, 0}, L" -p -m"},
    {{1, 0, 0, 1, 1}, L" -p -m >>ERRORS.TXT"},
    {{1, 0, 1, 0, 0}, L" -p -e"},
    {{1, 0, 1, 0, 1}, L" -p -e >>ERRORS.TXT"},
    {{1, 0, 1, 1, 0}, L" -p -e -m"},
    {{1, 0, 1, 1, 1}, L" -p -e -m >>ERRORS.TXT"},
    {{1, 1, 0, 0, 0}, L" -p -b"},
    {{1, 1, 0, 0, 1}, L" -p -b >>ERRORS.TXT"},
    {{1, 1, 0, 1, 0}, L" -p -b -m"},
    {{1, 1, 0, 1, 1}, L" -p -b -m >>ERRORS.TXT"},
    {{1, 1, 1, 0, 0}, L" -p -b -e"},
    {{1, 1, 1, 0, 1}, L" -p -b -e >>ERRORS.TXT"},
    {{1, 1, 1, 1, 0}, L" -p -b -e -m"},
    {{1, 1, 1, 1, 1}, L" -p -b -e -m >>ERRORS.TXT"},
}};

// ---- the run script ----

// The default run script, byte for byte (35 bytes).
inline const std::string kDefaultScript = "C:\\Morvane.com\r\r\n@C:\\morvane2.bat\r\n";

// The run script for an ASCII command line: the line, an extra CR, CR LF, the follow-up call.
inline std::string ScriptFor(std::string_view commandLine) {
  return std::string(commandLine) + "\r\r\n@C:\\morvane2.bat\r\n";
}

}  // namespace addmorvane::expected
