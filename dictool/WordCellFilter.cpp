#include "dictool/WordCellFilter.h"

#include <string>
#include <vector>

#include "dictool/JCType.h"

namespace tavo {

WordCellFilter::WordCellFilter(std::string_view word, const LineConverter& convert) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < word.size();) {
    const std::size_t n = IsSJISLeadByte(static_cast<unsigned char>(word[i])) ? 2 : 1;
    if (i + n > word.size()) return;  // a lead byte at the end: no whole character to ask about
    const std::string c(word.substr(i, n));
    bool seen = false;
    for (const std::string& k : characters) seen = seen || k == c;
    if (!seen) characters.push_back(c);
    i += n;
  }
  std::uint32_t bit = 1;
  for (const std::string& c : characters) {
    if (bit == 0) break;  // 32 told
    std::uint8_t cells[256];
    if (!convert.SourceCells(c.c_str(), cells)) continue;  // not required, then
    for (int b = 0; b < 256; ++b)
      if (cells[b] != 0) bits_[b] |= bit;
    whole_ |= bit;
    bit <<= 1;
  }
}

}  // namespace tavo
