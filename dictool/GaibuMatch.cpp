#include "dictool/GaibuMatch.h"

#include "dictool/JCType.h"
#include "dictool/SjisSearch.h"

namespace tavo {
namespace {

constexpr std::string_view kBlankMark = "\x81\xA0";  // □

}  // namespace

bool MatchSearchWord(std::string_view text, std::string_view pattern, int* position) {
  const std::size_t pos = FindOnBoundary(text, pattern);
  if (pos == std::string_view::npos) return false;
  if (position != nullptr) *position = static_cast<int>(pos + 1);
  return true;
}

bool JoinLines(std::string_view a, std::string_view b, std::string& joined) {
  if (b.starts_with(' ')) return false;
  joined.assign(LineHead(a));
  joined += ' ';
  joined.append(b);
  return true;
}

std::string_view LineHead(std::string_view a) {
  const std::size_t last = a.find_last_not_of(' ');
  return last == std::string_view::npos ? a : a.substr(0, last + 1);
}

bool ReadsOnIntoNextLine(std::string_view head) {
  // Only a number reads its separator so.
  const std::size_t number = head.find(kNumberSign);
  return number != std::string_view::npos && head.find(kDigitSeparator, number) != std::string_view::npos;
}

JoinFilter::JoinFilter(std::string_view pattern) : pattern_(pattern) {
  // Every byte q > 0 where "□" may begin, whether or not q is a character
  // boundary of the pattern: the test stays a necessary one.
  for (std::size_t q = 1; q < pattern_.size(); ++q)
    if (pattern_[q] == kBlankMark[0] && (q + 1 == pattern_.size() || pattern_[q + 1] == kBlankMark[1]))
      blanks_.push_back(q);
}

bool JoinFilter::CanHitSlowly(std::string_view line, std::string_view kana, bool number) const {
  if (number && ReadsOnIntoNextLine(line)) return true;
  if (blanks_.empty()) return false;
  // The head's kana: the line's without the "□" of each blank the join cuts.
  const std::size_t cut = 2 * (line.size() - LineHead(line).size());
  if (cut > kana.size()) return true;  // a NUL cut the kana short: look at the join
  const std::string_view headKana = kana.substr(0, kana.size() - cut);
  if (headKana.empty()) return false;  // every q is above 0
  // The last byte first: it rules out nearly every line without a call.
  const char lastByte = headKana.back();
  for (const std::size_t q : blanks_)
    if (pattern_[q - 1] == lastByte && headKana.ends_with(std::string_view(pattern_).substr(0, q))) return true;
  return false;
}

std::string RemoveBlankMarks(std::string_view word) {
  std::string out;
  out.reserve(word.size());
  bool removed = false;
  std::size_t i = 0;
  while (i < word.size()) {
    const auto b = static_cast<unsigned char>(word[i]);
    if (IsSJISLeadByte(b) && i + 1 < word.size()) {
      if (b == 0x81 && static_cast<unsigned char>(word[i + 1]) == 0xA0)  // □
        removed = true;
      else
        out.append(word.substr(i, 2));
      i += 2;
    } else {
      out += word[i];
      ++i;
    }
  }
  return removed ? out : std::string();
}

}  // namespace tavo
