#include "tests/convlib/RandomLines.h"

#include <string_view>

namespace tavo::test {

namespace {
constexpr std::string_view kPrefixCells = "\"#,-.134579;@[^_8";
constexpr std::string_view kDigitCells = "ABCDEFGHIJ";
}  // namespace

char RandomLines::OneOf(std::string_view set) {
  return set[static_cast<size_t>(Between(0, static_cast<int>(set.size()) - 1))];
}

char RandomLines::Silent() {
  for (;;) {
    const int b = Between(1, 255);
    if ((b < 0x20 || b > 0x5F) && b != 0xDE && b != 0xDF) return static_cast<char>(b);
  }
}

char RandomLines::Byte() {
  const int kind = Between(0, 99);
  if (kind < 55) return static_cast<char>(Between(0x20, 0x5F));
  if (kind < 80) return OneOf(kPrefixCells);
  if (kind < 92) return OneOf(kDigitCells);
  if (kind < 97) return Silent();
  return static_cast<char>(Between(0, 1) != 0 ? 0xDE : 0xDF);
}

std::string RandomLines::Line(int maxLength) {
  std::string line(static_cast<size_t>(Between(0, maxLength)), ' ');
  for (char& c : line) c = Byte();
  return line;
}

}  // namespace tavo::test
