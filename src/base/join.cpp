#include "base/join.h"

#include <iterator>

namespace addmorvane {

std::wstring Join(std::initializer_list<std::wstring_view> parts) {
  std::size_t size = 0;
  for (const std::wstring_view part : parts) {
    size += part.size();
  }
  std::wstring text;
  text.reserve(size);
  for (const std::wstring_view part : parts) {
    text += part;
  }
  return text;
}

std::wstring Decimal(unsigned long number) {
  wchar_t digits[20];
  std::size_t first = std::size(digits);
  do {
    digits[--first] = static_cast<wchar_t>(L'0' + number % 10);
    number /= 10;
  } while (number != 0);
  return {digits + first, digits + std::size(digits)};
}

}  // namespace addmorvane
