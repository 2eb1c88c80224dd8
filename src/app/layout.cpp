#include "app/layout.h"

#include <stdexcept>

#include "runscript/vocabulary.h"

namespace addmorvane {

namespace {
constexpr std::span<const std::wstring_view> kNoEntries{};
constexpr FontStyle B = FontStyle::Bold;
constexpr FontStyle R = FontStyle::Regular;
constexpr Container W = Container::Window;
constexpr Container F = Container::Frame1;
}  // namespace

// clang-format off
const std::array<ControlSpec, kControlCount> kLayout = {{
  {ControlId::Command1, L"Command1", ControlKind::PushButton,   W, L"выполнить", {2880, 3600, 1335, 375}, B, kNoEntries},
  {ControlId::Command2, L"Command2", ControlKind::PushButton,   W, L"выход",     {5760, 3600, 1335, 375}, B, kNoEntries},
  {ControlId::Frame1,   L"Frame1",   ControlKind::Frame,        W, L"настройка", {120, 0, 6975, 3495},    B, kNoEntries},
  {ControlId::Combo1,   L"Combo1",   ControlKind::ComboBox,     F, L"",          {360, 360, 735, 315},    R, kCycleSwitches},
  {ControlId::Combo2,   L"Combo2",   ControlKind::ComboBox,     F, L"",          {360, 840, 735, 315},    R, kPassSwitches},
  {ControlId::Label1,   L"Label1",   ControlKind::Label,        F, L"кол-во циклов", {1200, 360, 5415, 255}, R, kNoEntries},
  {ControlId::Label2,   L"Label2",   ControlKind::Label,        F, L"кол-во операции чтенья", {1200, 840, 5535, 495}, R, kNoEntries},
  {ControlId::Check1,   L"Check1",   ControlKind::CheckBox,     F, L"включение переменных шаблонов [-p]", {360, 1440, 2175, 375}, R, kNoEntries},
  {ControlId::Check2,   L"Check2",   ControlKind::CheckBox,     F, L"звук при обнаружении ошибки [-b]", {360, 1920, 2535, 375}, R, kNoEntries},
  {ControlId::Check3,   L"Check3",   ControlKind::CheckBox,     F, L"не печатать ошибки на экран/файл [-e]", {360, 2400, 2175, 375}, R, kNoEntries},
  {ControlId::Check4,   L"Check4",   ControlKind::CheckBox,     F, L"добавить фазу быстрого чтения с использования MMX комманд [-m]", {2880, 1320, 3015, 615}, R, kNoEntries},
  {ControlId::Check5,   L"Check5",   ControlKind::CheckBox,     F, L"отправить ошибки в файл [>>errors.txt]", {2880, 1920, 2415, 375}, R, kNoEntries},
  {ControlId::Command3, L"Command3", ControlKind::PushButton,   F, L"применить", {240, 2880, 1935, 375},  B, kNoEntries},
  {ControlId::Text1,    L"Text1",    ControlKind::TextBox,      F, L"",          {3480, 240, 2775, 375},  R, kNoEntries},
  {ControlId::Label3,   L"Label3",   ControlKind::Label,        F, L"",          {2640, 2400, 4095, 855}, R, kNoEntries},
  {ControlId::Option1,  L"Option1",  ControlKind::OptionButton, W, L"проба",     {240, 3600, 855, 255},   B, kNoEntries},
  {ControlId::Option2,  L"Option2",  ControlKind::OptionButton, W, L"работа",    {1320, 3600, 975, 255},  B, kNoEntries},
  {ControlId::Command4, L"Command4", ControlKind::PushButton,   W, L"помощь",    {4320, 3600, 1335, 375}, B, kNoEntries},
}};
// clang-format on

const ControlSpec& SpecOf(ControlId id) {
  for (const ControlSpec& spec : kLayout) {
    if (spec.id == id) {
      return spec;
    }
  }
  throw std::out_of_range("no such control");
}

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled + (scaled >= 0 ? 720 : -720)) / 1440);
}

}  // namespace addmorvane
