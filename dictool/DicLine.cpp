#include "dictool/DicLine.h"

#include "dictool/JCType.h"
#include "dictool/SjisSearch.h"

namespace tavo {
namespace {

constexpr std::string_view kFullWidthAsterisk = "\x81\x96";  // ＊
// －使用辞書：
constexpr std::string_view kHeadingStart = "\x81\x7C\x8E\x67\x97\x70\x8E\xAB\x8F\x91\x81\x46";

bool Contains(std::string_view data, std::string_view pattern) {
  return FindOnBoundary(data, pattern) != std::string_view::npos;
}

// The part of a line that is matched: before its first '%' (0x25 is never a
// trail byte, so a plain byte search cuts correctly).
std::string_view DataOf(std::string_view line) { return line.substr(0, line.find('%')); }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

DicPattern PrepareDicPattern(std::string_view word) {
  DicPattern p;
  if (word.starts_with('/')) {
    p.RawMode = true;
    word.remove_prefix(1);
  } else if (word.starts_with('*') || word.starts_with(kFullWidthAsterisk)) {
    p.GroupMode = true;
  }
  p.Pattern = std::string(word);
  p.PatternColon = p.Pattern + ':';
  return p;
}

bool IsDicHit(std::string_view line, const DicPattern& pattern, bool& inMatchedGroup) {
  // The kind of a line is read from the line itself: its first bytes are
  // those of the data unless the data is empty (line empty or '%' first).
  // That leaves the comment cut to the few lines that contain the pattern.
  if (line.empty() || line[0] == '%' || line[0] == '#') return false;
  if (line[0] == '*') {
    inMatchedGroup = Contains(DataOf(line), pattern.Pattern);
    return false;
  }
  if (line[0] == '+') {
    if (inMatchedGroup) return true;
    if (line.size() > 1 && line[1] == ',') return false;
  }
  if (pattern.GroupMode) return false;
  // An empty pattern is never found, so the word "/" alone matches nothing
  // (it must not turn every line into a hit).
  const std::size_t pos = FindOnBoundary(line, pattern.Pattern);
  if (pos == std::string_view::npos) return false;
  // The boundary walk over the data is the walk over the line's start, so the
  // line's first occurrence is the data's, when it ends before the '%'.
  const std::string_view data = DataOf(line);
  if (pos + pattern.Pattern.size() > data.size()) return false;
  // A single occurrence followed by ':' rules the whole line out, even when
  // another occurrence stands alone.
  return !Contains(data, pattern.PatternColon);
}

std::string HideLineCode(std::string_view row) {
  std::string out(row);
  if (row.starts_with(kHeadingStart)) return out;
  std::size_t i = 0;
  while (i < out.size()) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (IsSJISLeadByte(b)) {
      i += 2;
      continue;
    }
    out[i] = ' ';
    if (b == '/') break;
    ++i;
  }
  return out;
}

bool IsRutFile(std::string_view path) {
  // '.' cannot be a trail byte, so when the last four bytes spell ".RUT" they
  // are four single-byte characters: no character walk is needed.
  constexpr std::string_view kExt = ".RUT";
  if (path.size() < kExt.size()) return false;
  const std::string_view tail = path.substr(path.size() - kExt.size());
  for (std::size_t i = 0; i < kExt.size(); ++i)
    if (AsciiUpper(tail[i]) != kExt[i]) return false;
  return true;
}

}  // namespace tavo
