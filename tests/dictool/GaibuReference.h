// The external search's hits in one RUTE document, worked out the plain way
// that the search must agree with: the document cut into lines as the
// dictionary reference cuts them (DicReference.h), its first line passed
// over, every line converted, and every join converted and matched - none
// left out because it cannot hit.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavo::test {

struct ReferenceHit {
  std::string Text;  // the row: "ppp:ll " and the kana
  int Page = 0;      // of the last line read (the record's)
  int Line = 0;
};

// `convert` turns a braille line into kana; `linesPerPage` numbers the lines.
std::vector<ReferenceHit> ReferenceGaibuHits(std::string_view document, std::string_view pattern, int linesPerPage,
                                             const std::function<std::string(const std::string&)>& convert);

}  // namespace tavo::test
