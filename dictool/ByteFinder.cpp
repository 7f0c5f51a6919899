#include "dictool/ByteFinder.h"

#include <cstring>

#include "dictool/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tavo {
namespace {

// How common a byte is in dictionary text, lower is rarer: the lead bytes of
// kana and symbols begin half of all bytes, blanks and line ends and ASCII
// follow; trail bytes and kanji lead bytes are each rare.
int Commonness(unsigned char b) {
  if (b >= 0x81 && b <= 0x83) return 4;
  if (b == ' ' || b == '\r' || b == '\n') return 3;
  if (b < 0x80) return 2;
  return 1;
}

#if defined(__x86_64__)
// Tries the starts from `i` on, 32 at a time (AVX2), while all 32
// occurrences would lie in the text (`last` is the last start); leaves `i` at
// the first start it did not try.
__attribute__((target("avx2"))) std::size_t FindWide(const char* text, std::size_t last, const char* p,
                                                     std::size_t m, std::size_t first, std::size_t second,
                                                     std::size_t& i) {
  const __m256i c1 = _mm256_set1_epi8(p[first]);
  const __m256i c2 = _mm256_set1_epi8(p[second]);
  for (; i + 31 <= last; i += 32) {
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + first));
    const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i + second));
    auto mask = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(b1, c1), _mm256_cmpeq_epi8(b2, c2))));
    while (mask != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (std::memcmp(text + at, p, m) == 0) return at;
      mask &= mask - 1;
    }
  }
  return ByteFinder::npos;
}
#endif

}  // namespace

ByteFinder::ByteFinder(std::string_view pattern) : pattern_(pattern) {
  if (pattern_.size() < 2) return;
  // The rarest byte, the later one on a tie (a trail byte rather than the
  // lead byte before it), then the rarest other byte.
  auto rarest = [&](std::size_t skip) {
    std::size_t best = std::string::npos;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
      if (i == skip) continue;
      if (best == std::string::npos || Commonness(static_cast<unsigned char>(pattern_[i])) <=
                                           Commonness(static_cast<unsigned char>(pattern_[best])))
        best = i;
    }
    return best;
  };
  const std::size_t a = rarest(std::string::npos);
  const std::size_t b = rarest(a);
  first_ = a < b ? a : b;
  second_ = a < b ? b : a;
}

std::size_t ByteFinder::Find(const char* text, std::size_t size) const {
  const std::size_t m = pattern_.size();
  if (m == 0 || size < m) return npos;
  const char* p = pattern_.data();
  if (m == 1) {
    const void* hit = std::memchr(text, p[0], size);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : npos;
  }
  const std::size_t last = size - m;  // the last start of an occurrence
  std::size_t i = 0;
#if defined(__x86_64__)
  if (HasAvx2()) {
    const std::size_t at = FindWide(text, last, p, m, first_, second_, i);
    if (at != npos) return at;
  }
  // The rest (all of it without AVX2) 16 starts at a time, while all 16
  // occurrences would lie in the text; SSE2 is part of x86-64.
  const __m128i c1 = _mm_set1_epi8(p[first_]);
  const __m128i c2 = _mm_set1_epi8(p[second_]);
  for (; i + 15 <= last; i += 16) {
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + first_));
    const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i + second_));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(b1, c1), _mm_cmpeq_epi8(b2, c2))));
    while (mask != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
      if (std::memcmp(text + at, p, m) == 0) return at;
      mask &= mask - 1;
    }
  }
#endif
  for (; i <= last; ++i)
    if (text[i + first_] == p[first_] && text[i + second_] == p[second_] && std::memcmp(text + i, p, m) == 0)
      return i;
  return npos;
}

}  // namespace tavo
