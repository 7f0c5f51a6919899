// What the searches hand to the result grids beside a row's text.
#pragma once

#include <string>

namespace tavo {

// One row of the external-search result: the document, page and line of a
// hit; an empty path and 0 in heading, end and cancel rows.
struct THitLine {
  std::string ShortPath;
  int Page = 0;
  int Line = 0;
};

// Result of reading on to the next hit.
enum NextHitResult : int { nhNextFile = 0, nhHit = 1, nhEnd = 2, nhCancel = 3 };

}  // namespace tavo
