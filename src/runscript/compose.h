// Turns the window's choice into the tester's command line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runscript/vocabulary.h"

namespace addmorvane {

// Check box values as the window reports them: 0 clear, 1 set; anything else is neither.
using FlagValues = std::array<std::int16_t, kFlagCount>;

// The tester's path, the cycle text, the pass text and the set flags in their fixed order,
// each part after the first with exactly one space in front of it. The texts pass through
// untouched: an empty one still leaves its space. Returns nothing when a flag value is
// neither 0 nor 1, because such a value matches no combination of flags.
std::optional<std::wstring> ComposeCommandLine(std::wstring_view cycle,
                                               std::wstring_view pass,
                                               const FlagValues& flags);

}  // namespace addmorvane
