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
  // Line i (from 1) is matched on its own unless the line before it had a
  // hit of its own, and then joined with the next line: a word that begins
  // in it and runs across its end is a joined hit, shown with its number and
  // recorded with the next line's. A line with a hit of its own is joined
  // with nothing; the second line of a joined hit is matched on its own.
  bool ownHit = false;
  for (int i = 1; i <= n; ++i) {
    const std::string& a = lines[static_cast<size_t>(i - 1)];
    const std::string kA = convert(a);
    if (i > 1 && ownHit) {
      ownHit = false;
    } else if (i > 1) {
      // The join of the line before with this one.
      const std::string& prev = lines[static_cast<size_t>(i - 2)];
      std::string joined;
      if (JoinLines(prev, a, joined)) {
        const std::string kPrev = convert(prev), kJ = convert(joined);
        const auto cut = static_cast<long>(prev.size()) - static_cast<long>(joined.size() - 1 - a.size());
        int position = 0;
        if (MatchSearchWord(kJ, pattern, &position) && position - 1 < static_cast<long>(kPrev.size()) - 2 * cut)
          hit(i - 1, kJ, i);
      }
    }
    if (MatchSearchWord(kA, pattern, nullptr)) {
      hit(i, kA, i);
      ownHit = true;
    }
  }
  return hits;
}

}  // namespace tavo::test
