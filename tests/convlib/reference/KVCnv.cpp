// The main conversion loop and the dispatch on the 17 prefix cells.
#include "tests/convlib/reference/KVCnv.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "convlib/TavoTbl.h"

namespace tavo::reference {
namespace {

// The 17 cells that start a rule. Every other byte reads from KanaTable alone.
constexpr std::array<bool, 256> kPrefixCells = [] {
  std::array<bool, 256> prefix{};
  for (unsigned char c : std::string_view("\"#,-.1345789;@[^_")) prefix[c] = true;
  return prefix;
}();

// Appends the KanaTable readings of the cells from position pos (counted from
// 1) up to the next prefix cell or the end of s, and returns the position
// after them. Plain kana text is mostly such runs: writing a run in place
// after one resize spares the bookkeeping of one append per cell.
int32_t AppendPlainCells(std::string_view s, int32_t pos, std::string& d) {
  const size_t first = static_cast<size_t>(pos - 1);
  size_t last = first;
  while (last < s.size() && !kPrefixCells[static_cast<unsigned char>(s[last])]) ++last;
  const size_t start = d.size();
  d.resize(start + kKanaReadingBytes * (last - first));
  char* out = d.data() + start;
  for (size_t i = first; i < last; ++i) {
    const std::string_view reading = KanaTable[static_cast<unsigned char>(s[i])];
    if (!reading.empty()) std::memcpy(out, reading.data(), kKanaReadingBytes);
    out += reading.size();
  }
  d.resize(static_cast<size_t>(out - d.data()));
  return static_cast<int32_t>(last + 1);
}

bool ContainsFailure(unsigned char c) {
  return c == '#' || c == '-' || c == '7' || c == '[' || c == '3' || c == '1' || c == '9';
}

}  // namespace

void TTavoCnv::ClearState() {
  KagiOpen = false;
  KakkoOpen = false;
  BracketOpen = false;
}

int32_t TTavoCnv::CnvText(std::string_view s, std::string& dest, uint16_t option) {
  // A NUL is the end of the input to every rule, so the line ends at the
  // first one; nothing after it is read or counted.
  s = s.substr(0, std::min(s.find('\0'), kMaxLineBytes));
  dest.clear();
  // No rule writes more than two bytes per cell it consumes, so one
  // reservation keeps the appends below from reallocating.
  dest.reserve(s.size() * 2);
  Pos = 1;
  ClearState();
  digitTotal_ = -1;
  const int32_t end = static_cast<int32_t>(s.size());
  while (Pos <= end) {
    const unsigned char c = static_cast<unsigned char>(s[Pos - 1]);
    if (!kPrefixCells[c]) {
      Pos = AppendPlainCells(s, Pos, dest);
      continue;
    }
    ++Pos;
    bool handled;
    try {
      handled = RunPrefixRule(c, s, dest, option);
    } catch (const std::bad_alloc&) {
      // The run and bracket rules end where memory ran out and the loop
      // goes on; any other failure ends the conversion at the library edge.
      if (!ContainsFailure(c)) throw;
      handled = true;
    }
    if (!handled) dest.append(KanaTable[c]);
  }
  return static_cast<int32_t>(dest.size());
}

bool TTavoCnv::RunPrefixRule(unsigned char c, S s, D& d, uint16_t o) {
  switch (c) {
    case '"': return CnvDakuon(s, d, o);
    case '#': return CnvNumber(s, d, o);
    case ',': return CnvHandakuon(s, d, o);
    case '-': return CnvKagi(s, d, o);
    case '.': return CnvYoonHandakuon(s, d, o);
    case '1': return CnvLeader(s, d, o);
    case '3': return CnvLongVowel(s, d, o);
    case '4': return CnvSpecialDakuon(s, d, o);
    case '5': return CnvSpecial(s, d, o);
    case '7': return CnvKakko(s, d, o);
    case '8': return CnvForeignQuote(s, d, o);
    case '9': return CnvStar(s, d, o);
    case ';': return CnvAlphabet(s, d, o);
    case '@': return CnvYoon(s, d, o);
    case '[': return CnvArrow(s, d, o);
    case '^': return CnvYoonDakuon(s, d, o);
    case '_': return CnvSpecialYoonDakuon(s, d, o);
    default: return false;
  }
}

int32_t TTavoCnv::DigitCellsAfter(S s, int32_t i) {
  auto isDigit = [](unsigned char c) { return c >= 'A' && c <= 'J'; };
  if (digitTotal_ < 0) {
    digitTotal_ = 0;
    for (unsigned char c : s) digitTotal_ += isDigit(c);
    digitCursor_ = 0;
    digitsUpToCursor_ = 0;
  }
  const int32_t end = static_cast<int32_t>(s.size());
  while (digitCursor_ < i && digitCursor_ < end) {
    digitsUpToCursor_ += isDigit(static_cast<unsigned char>(s[digitCursor_]));
    ++digitCursor_;
  }
  return digitTotal_ - digitsUpToCursor_;
}

}  // namespace tavo::reference
