// Page and line of a braille line of a RUTE document, and the row prefix
// that shows them. Both searches number their hits through this one helper.
// Pure functions; thread-safe.
#pragma once

#include <cstdint>
#include <string>

namespace tavo {

struct PageLine {
  int32_t Page;
  int32_t Line;
};

// Braille line `lineNumber` (counted from 1, after the header line) of a
// document with `linesPerPage` lines per page: page = (n-1) div L + 1,
// line = (n-1) mod L + 1. A header that gives L <= 0 cannot be paged, so it
// counts as one line per page rather than failing the search.
PageLine PageAndLine(int32_t lineNumber, int32_t linesPerPage);

// "ppp:ll " — the page at least three digits and the line at least two, both
// zero-padded (page 1000 prints four digits). ASCII only.
std::string PageLinePrefix(PageLine at);

}  // namespace tavo
