// Finds the bytes of one pattern in large blocks of text, fast: the scan of a
// dictionary looks at every byte of the file only here.
//
// Two bytes of the pattern that are rare in CP932 text (trail bytes rather
// than the lead bytes of kana, blanks or line ends) are compared at 32 (AVX2,
// where the processor has it) or 16 positions at a time, and only where both
// agree is the whole pattern compared. Byte-exact: no character boundaries
// (SjisSearch.h decides those on the line).
//
// The finder keeps its own copy of the pattern; Find only reads the text.
// Thread-safe once built.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavo {

class ByteFinder {
 public:
  explicit ByteFinder(std::string_view pattern);

  // The offset of the first occurrence that lies wholly in the `size` bytes
  // at `text`, or npos. An empty pattern is never found.
  std::size_t Find(const char* text, std::size_t size) const;

  std::size_t size() const { return pattern_.size(); }
  static constexpr std::size_t npos = std::string_view::npos;

 private:
  std::string pattern_;
  std::size_t first_ = 0;   // offsets of the two bytes compared first;
  std::size_t second_ = 0;  // first_ < second_ when the pattern has two bytes
};

}  // namespace tavo
