#include "dictool/GaibuMatch.h"

#include "dictool/JCType.h"
#include "dictool/SjisSearch.h"

namespace tavo {

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

bool JoinCanHit(std::string_view head, std::string_view pattern) {
  constexpr std::string_view kBlankMark = "\x81\xA0";  // □
  if (pattern.find(kBlankMark) != std::string_view::npos || pattern.ends_with(kBlankMark[0])) return true;
  // Only a number reads its separator so, and a number begins with '#'.
  const std::size_t number = head.find('#');
  return number != std::string_view::npos && head.find('\'', number) != std::string_view::npos;
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
