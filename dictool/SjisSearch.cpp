#include "dictool/SjisSearch.h"

#include <string.h>  // memmem: linear worst case, unlike a naive find

#include "dictool/JCType.h"

namespace tavo {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Below this length the set-up cost of memmem outweighs its worst-case
// guarantee: dictionary lines are a few dozen bytes, and the naive scan's
// quadratic worst case is bounded by this constant.
constexpr std::size_t kShortText = 256;

// The first occurrence of `p` in `t` at or after `from`, byte-exact.
std::size_t FindBytes(std::string_view t, std::string_view p, std::size_t from) {
  if (t.size() - from < p.size()) return npos;
  const char* const base = t.data();
  const char* const end = base + t.size();
  if (t.size() > kShortText) {
    const void* hit = ::memmem(base + from, t.size() - from, p.data(), p.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : npos;
  }
  // Look for the pattern's last byte first: in CP932 text that is usually a
  // trail byte, far rarer than the lead byte 0x82 of every kana.
  const std::size_t tail = p.size() - 1;
  const char last = p[tail];
  const char* s = base + from + tail;
  while (s < end) {
    s = static_cast<const char*>(::memchr(s, last, static_cast<std::size_t>(end - s)));
    if (s == nullptr) return npos;
    const char* start = s - tail;
    if (tail == 0 || ::memcmp(start, p.data(), tail) == 0) return static_cast<std::size_t>(start - base);
    ++s;
  }
  return npos;
}

}  // namespace

std::size_t FindOnBoundary(std::string_view text, std::string_view pattern) noexcept {
  // Also keeps null data pointers away from the C search functions.
  if (pattern.empty() || pattern.size() > text.size()) return npos;

  // `walk` only moves forward across all candidates, so the boundary walk
  // costs one pass over the text however many false candidates there are.
  std::size_t walk = 0;
  std::size_t pos = FindBytes(text, pattern, 0);
  while (pos != npos) {
    while (walk < pos) walk += IsSJISLeadByte(static_cast<unsigned char>(text[walk])) ? 2 : 1;
    if (walk == pos) return pos;
    // The candidate began on a trail byte; the walk now stands on the next
    // boundary, pos + 1, and later candidates cannot lie before it.
    pos = FindBytes(text, pattern, pos + 1);
  }
  return npos;
}

}  // namespace tavo
