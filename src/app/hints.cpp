#include "app/hints.h"

#include <array>
#include <utility>

#include "runscript/vocabulary.h"

namespace addmorvane {
namespace {

using Row = std::pair<std::wstring_view, std::wstring_view>;

// Note: the "х" in "2х", "5х" and so on is Cyrillic, as the user reads it.
constexpr std::array<std::wstring_view, kFlagCount> kFlagHints = {
    L"-p включение переменных шаблонов.",
    L"-b звук при обнаружении ошибки",
    L" -e не печатать ошибки на экран/файл",
    L"-m добавить фазу быстрого чтения с использования MMX комманд.",
    L">>ERRORS.TXT отправить ошибки в файл.",
};

constexpr std::array<Row, 6> kCycleRows = {{
    {L"", L"кол-во циклов"},
    {kCycleSwitches[0], L"(fast)используется при пробном запуске."},
    {kCycleSwitches[1], L"(default)50 циклов при 2х операции чтения."},
    {kCycleSwitches[2], L"(slow)200 циклов при 5х операций чтения."},
    {kCycleSwitches[3], L"(long)2000 циклов при 5х операций чтения."},
    {kCycleSwitches[4], L"(very long)4000 циклов при 25х операций чтения."},
}};

constexpr std::array<Row, 5> kPassRows = {{
    {L"", L"кол-во операции чтенья"},
    {kPassSwitches[0], L"1х операции чтения-для предварительного запуска."},
    {kPassSwitches[1], L"2х операции чтения-применять для медленных машин."},
    {kPassSwitches[2],
     L"5х операции чтения-баланс между качеством проверки и скоростью переборки разных "
     L"шаблонов."},
    {kPassSwitches[3],
     L"50х операции чтения-ну очень долго и старательно,эмулирует программную область RAM."},
}};

template <std::size_t N>
std::optional<std::wstring_view> Lookup(const std::array<Row, N>& rows, std::wstring_view key) {
  for (const auto& [text, description] : rows) {
    if (text == key) {
      return description;
    }
  }
  return std::nullopt;
}

}  // namespace

std::wstring_view FlagHint(std::size_t index) {
  return kFlagHints.at(index);
}

std::optional<std::wstring_view> CycleDescription(std::wstring_view cycleText) {
  return Lookup(kCycleRows, cycleText);
}

std::optional<std::wstring_view> PassDescription(std::wstring_view passText) {
  return Lookup(kPassRows, passText);
}

}  // namespace addmorvane
