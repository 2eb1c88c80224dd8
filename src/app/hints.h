// The Russian descriptions shown while the pointer moves over the settings.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace addmorvane {

inline constexpr std::wstring_view kIdleHint = L"Наведите на переключатель";

// The hint for option flag `index` (0 for the first check box).
std::wstring_view FlagHint(std::size_t index);

// The description for a cycle or pass text, looked up by exact, case-sensitive match.
// The empty text maps to the label's own caption; any other text has no description
// and the label keeps whatever it shows.
std::optional<std::wstring_view> CycleDescription(std::wstring_view cycleText);
std::optional<std::wstring_view> PassDescription(std::wstring_view passText);

}  // namespace addmorvane
