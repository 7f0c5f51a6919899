#include "dictool/PageLine.h"

#include <cstdio>

namespace tavo {

PageLine PageAndLine(int32_t lineNumber, int32_t linesPerPage) {
  const int64_t perPage = linesPerPage > 0 ? linesPerPage : 1;
  // 64 bits, so that n - 1 cannot overflow for any n.
  const int64_t index = int64_t{lineNumber} - 1;
  return {static_cast<int32_t>(index / perPage + 1), static_cast<int32_t>(index % perPage + 1)};
}

std::string PageLinePrefix(PageLine at) {
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%3.3d:%2.2d ", at.Page, at.Line);
  return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace tavo
