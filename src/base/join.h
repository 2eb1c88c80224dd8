// Texts put together from pieces. One call in place of a chain of `+`: the program's messages
// are made of many pieces, and each `+` in a chain costs code of its own wherever it is used.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace addmorvane {

std::wstring Join(std::initializer_list<std::wstring_view> parts);

// `number` in decimal digits, written by hand: the C library's formatted output would add a
// fifth to the program's size.
std::wstring Decimal(unsigned long number);

}  // namespace addmorvane
