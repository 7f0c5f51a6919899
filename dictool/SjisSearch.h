// Byte search that respects Shift-JIS (CP932) character boundaries.
//
// A byte-exact search alone would match a pattern starting on the trail byte
// of a double-byte character (the 'A' inside "ア" = 83 41). This search
// accepts only occurrences that begin where a character begins, walking the
// text from byte 0: +2 over a lead byte, +1 over any other byte.
//
// Linear in the text length, allocation-free and thread-safe; the views are
// only read during the call.
#pragma once

#include <cstddef>
#include <string_view>

namespace tavo {

// The 0-based position of the first occurrence of `pattern` in `text` that
// begins on a character boundary, or std::string_view::npos. Occurrences that
// begin mid-character are passed over, so a real occurrence after a false
// one is still found. An empty pattern is never found.
std::size_t FindOnBoundary(std::string_view text, std::string_view pattern) noexcept;

}  // namespace tavo
