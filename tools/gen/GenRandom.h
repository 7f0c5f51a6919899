// Deterministic pseudo-random numbers (splitmix64) for the generator.
//
// The same seed gives the same sequence with every compiler and standard
// library (the std distributions promise no such thing), so a generated file
// can be reproduced from its seed. Not for anything that needs real
// randomness. One object per thread.
#pragma once

#include <cstdint>
#include <span>

namespace tavo::gen {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A number in [0, n); n > 0. The modulo bias is far below what test data
  // could notice.
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

  // An item of a non-empty list.
  template <class T>
  const T& Pick(std::span<const T> items) {
    return items[Below(static_cast<uint32_t>(items.size()))];
  }

 private:
  uint64_t state_;
};

}  // namespace tavo::gen
