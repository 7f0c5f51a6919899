#include "tests/dictool/GaibuReference.h"

#include "dictool/DicScanner.h"
#include "dictool/GaibuMatch.h"
#include "dictool/PageLine.h"
#include "tests/dictool/DicReference.h"

namespace tavo::test {

std::vector<ReferenceHit> ReferenceGaibuHits(std::string_view document, std::string_view pattern, int linesPerPage,
                                             const std::function<std::string(const std::string&)>& convert) {
  std::vector<std::string> lines = ReferenceLines(document, ScanLimits{}.LineCut);
  if (!lines.empty()) lines.erase(lines.begin());  // the header's line
  const int n = static_cast<int>(lines.size());
  std::vector<ReferenceHit> hits;
  const auto hit = [&](int shown, const std::string& kana, int last) {
    const PageLine at = PageAndLine(last, linesPerPage);
    hits.push_back({PageLinePrefix(PageAndLine(shown, linesPerPage)) + kana, at.Page, at.Line});
  };
  for (int count = 0; count < n;) {
    std::string a = lines[static_cast<size_t>(count++)];
    std::string kA = convert(a);
    int shown = count;
    for (;;) {
      if (MatchSearchWord(kA, pattern, nullptr)) {
        hit(shown, kA, count);
        break;
      }
      if (count == n) break;
      const std::string& b = lines[static_cast<size_t>(count++)];
      std::string kB = convert(b);
      std::string joined;
      if (JoinLines(a, b, joined)) {
        const std::string kJ = convert(joined);
        const auto cut = static_cast<long>(a.size()) - static_cast<long>(joined.size() - 1 - b.size());
        int position = 0;
        if (MatchSearchWord(kJ, pattern, &position) && position - 1 < static_cast<long>(kA.size()) - 2 * cut) {
          hit(shown, kJ, count);
          break;
        }
      }
      a = b;
      kA = std::move(kB);
      shown = count;
    }
  }
  return hits;
}

}  // namespace tavo::test
