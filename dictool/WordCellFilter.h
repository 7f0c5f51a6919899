// Which braille lines can hold a word's kana at all, so that the external
// search converts only those. The converter tells, for each character of the
// word, the braille bytes that can write it (LineConverter::SourceCells):
// a line whose kana holds the word where a character begins holds, for
// every character of the word, one of those bytes. So does the join of two
// lines, taking the blank cell between them into account. A line that fails
// the test is never a hit, however it is converted.
//
// The test is a mask of the word's characters (the first 32 that differ;
// requiring fewer only lets more lines through) whose bytes a line holds.
// Built once per search; Mask only reads the tables. Thread-safe once built.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictool/LineConverter.h"

namespace tavo {

class WordCellFilter {
 public:
  // Inactive, letting every line through, when the converter cannot tell
  // for any character, or `word` (CP932) does not split into whole
  // characters.
  WordCellFilter(std::string_view word, const LineConverter& convert);

  bool Active() const { return whole_ != 0; }
  // The characters of the word that bytes of `line` can write, one bit each.
  std::uint32_t Mask(std::string_view line) const {
    const auto* b = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t n = line.size();
    // Four chains, so that the loads do not wait on one another.
    std::uint32_t m0 = 0, m1 = 0, m2 = 0, m3 = 0;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
      m0 |= bits_[b[i]];
      m1 |= bits_[b[i + 1]];
      m2 |= bits_[b[i + 2]];
      m3 |= bits_[b[i + 3]];
    }
    for (; i < n; ++i) m0 |= bits_[b[i]];
    return m0 | m1 | m2 | m3;
  }
  // Whether a line (or two joined lines) with this mask can hold the word.
  bool CanHold(std::uint32_t mask) const { return (mask & whole_) == whole_; }
  // What the blank cell that joins two lines adds to their masks.
  std::uint32_t JoinBlank() const { return bits_[static_cast<unsigned char>(' ')]; }

 private:
  std::uint32_t bits_[256] = {};
  std::uint32_t whole_ = 0;  // a bit for each character told
};

}  // namespace tavo
