// NABCC lines built from the forms of every rule: each prefix cell with cells
// it pairs with and cells it does not, numbers with their separators and
// signs, brackets, arrows, dashes, foreign words and quotations, joined by
// blanks, plain kana or nothing at all. For the converter's differential test
// and its benchmark. Deterministic for a given seed with every compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/gen/GenRandom.h"

namespace tavo::test {

class FormLines {
 public:
  explicit FormLines(uint64_t seed) : rng_(seed) {}

  // A line of exactly `length` bytes; the last form may be cut short.
  std::string Line(size_t length);

 private:
  gen::Random rng_;
};

}  // namespace tavo::test
