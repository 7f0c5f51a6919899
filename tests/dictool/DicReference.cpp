#include "tests/dictool/DicReference.h"

#include "dictool/DicLine.h"

namespace tavo::test {

std::vector<std::string> ReferenceLines(std::string_view bytes, std::size_t lineCut) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    if (lf != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line.substr(0, lineCut));
    bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
  }
  return lines;
}

std::vector<std::string> ReferenceHits(std::string_view bytes, std::string_view word, std::size_t lineCut) {
  const DicPattern pattern = PrepareDicPattern(word);
  bool inMatchedGroup = false;
  std::vector<std::string> hits;
  for (std::string& line : ReferenceLines(bytes, lineCut))
    if (IsDicHit(line, pattern, inMatchedGroup)) hits.push_back(std::move(line));
  return hits;
}

}  // namespace tavo::test
