// Random NABCC lines for property tests. Deterministic for a given seed, so a
// failure can be reproduced from the line shown in its message.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace tavo::test {

class RandomLines {
 public:
  explicit RandomLines(uint32_t seed) : rng_(seed) {}

  // A line of up to maxLength bytes, never NUL: mostly NABCC cells, with the
  // prefix cells, digit cells and bytes that are no cell mixed in often
  // enough that every rule and its pairs come up.
  std::string Line(int maxLength);

  // One byte of such a line.
  char Byte();

  // A byte that is no NABCC cell and has no reading (never NUL, 0xDE, 0xDF).
  char Silent();

  // One of the characters of set.
  char OneOf(std::string_view set);

  // A whole number from lo to hi.
  int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  std::mt19937 rng_;
};

}  // namespace tavo::test
