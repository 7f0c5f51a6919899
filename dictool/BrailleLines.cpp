#include "dictool/BrailleLines.h"

#include <algorithm>
#include <cstring>

#include "dictool/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tavo {
namespace {

constexpr char kEndOfFile = 0x1A;

// Bytes after the data that the buffer holds beyond its capacity: the NUL
// after a last line without a line end, and what FindLineEnds reads past
// the data in its last group of 64.
constexpr std::size_t kPadding = 64;

// The bytes whose line ends are noted at a time.
constexpr std::size_t kStretch = 16 * 1024;

// The carries into each bit of a + b + carry (bit k: whether bit k - 1 and
// those below carried into it), and in `carry` the carry out of bit 63.
[[gnu::always_inline]] inline std::uint64_t Carries(std::uint64_t a, std::uint64_t b, unsigned& carry) {
  const std::uint64_t sum = a + b;
  const std::uint64_t total = sum + carry;
  carry = (sum < a ? 1u : 0u) | (total < sum ? 1u : 0u);
  return total ^ a ^ b;
}

// Notes the line ends of the group of 64 bytes at offset `at` from their bit
// masks (bit k for byte at + k), each with whether its line holds both
// marks, at ends[count...], and counts them in `count`. `open` holds two
// carries: whether the line open before the group holds the first mark so
// far, and the second; afterwards, of the line still open.
//
// A line end's line holds a mark when, counting from the last line end, a
// mark comes before it: in the sum of the bytes that are no line end (1s)
// and the marks, a mark starts a carry that runs on to the next line end,
// which stops it. So no bit is looked at one by one, and no branch depends
// on where the lines end, but for groups of more than four.
[[gnu::always_inline]] inline void NoteGroup(std::size_t at, std::uint64_t lf, std::uint64_t first,
                                             std::uint64_t second, unsigned (&open)[2], std::uint32_t* ends,
                                             std::size_t& count, std::uint32_t marked) {
  const std::uint64_t inFirst = Carries(~lf, first, open[0]);
  const std::uint64_t inSecond = Carries(~lf, second, open[1]);
  const std::uint64_t both = inFirst & inSecond;
  const auto n = static_cast<unsigned>(__builtin_popcountll(lf));
  // Four ends at a time, whether or not the group has them: those written
  // past its own are written over by the next group's, or never read.
  std::uint32_t* out = ends + count;
  do {
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
      const auto bit = static_cast<unsigned>(__builtin_ctzll(lf | std::uint64_t{1} << 63));
      out[k] = static_cast<std::uint32_t>(at + bit) | (((both >> bit) & 1) != 0 ? marked : 0);
      lf &= lf - 1;
    }
    out += 4;
  } while (lf != 0);
  count += n;
}

// The masks of a group, each dropping the bits past `valid` (bytes beyond
// the data: the padding, or bytes not read yet).
struct GroupMasks {
  std::uint64_t lf, first, second;
  void Keep(std::uint64_t valid) {
    lf &= valid;
    first &= valid;
    second &= valid;
  }
};

#if defined(__x86_64__)
// The masks of a stretch 32 bytes at a time, in one function so that the
// comparisons stay in registers. Returns where the data ends: `to`, or the
// offset of the first byte 0x1A.
__attribute__((target("avx2,popcnt,bmi"))) std::size_t NoteLineEndsAvx2(const char* b, std::size_t i, std::size_t to,
                                                                        const char (&mark)[2], unsigned (&open)[2],
                                                                        std::uint32_t* ends, std::size_t& count,
                                                                        std::uint32_t marked) {
  const __m256i lf = _mm256_set1_epi8('\n');
  const __m256i m1 = _mm256_set1_epi8(mark[0]);
  const __m256i m2 = _mm256_set1_epi8(mark[1]);
  const __m256i eof = _mm256_set1_epi8(kEndOfFile);
  // In locals, which the stores of the line ends cannot change.
  unsigned carries[2] = {open[0], open[1]};
  std::size_t noted = count;
  for (; i < to; i += 64) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
    const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i + 32));
    const auto bits = [&](__m256i v) __attribute__((always_inline, target("avx2"))) {
      return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, v))) |
             std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(y, v)))} << 32;
    };
    GroupMasks g{bits(lf), bits(m1), bits(m2)};
    std::uint64_t end = bits(eof);
    if (to - i < 64) end |= ~std::uint64_t{0} << (to - i);
    if (end != 0) [[unlikely]] {
      const auto at = static_cast<unsigned>(__builtin_ctzll(end));
      g.Keep((std::uint64_t{1} << at) - 1);
      NoteGroup(i, g.lf, g.first, g.second, carries, ends, noted, marked);
      to = std::min(to, i + at);
      break;
    }
    NoteGroup(i, g.lf, g.first, g.second, carries, ends, noted, marked);
  }
  open[0] = carries[0];
  open[1] = carries[1];
  count = noted;
  return to;
}
#endif

}  // namespace

BrailleLines::BrailleLines(ScanLimits limits) : limits_(limits) {}

int BrailleLines::Open(std::string_view path) {
  Close();
  const int error = reader_.Open(path);
  if (error != 0) return error;
  if (!buffer_) {
    // The unfinished line kept (up to a CR after LineCut bytes) and a block.
    buffer_ = std::make_unique_for_overwrite<char[]>(limits_.LineCut + 1 + limits_.BlockSize + kPadding);
    // A line end a byte at most, and the three that NoteGroup may write past them.
    ends_ = std::make_unique_for_overwrite<std::uint32_t[]>(kStretch + 4);
  }
  return 0;
}

void BrailleLines::Close() {
  if (reader_.IsOpen()) reader_.Close();  // a failing close changes nothing for a reader
  begin_ = end_ = indexed_ = next_ = count_ = 0;
  openMarks_[0] = openMarks_[1] = 0;
  skipping_ = atEnd_ = cut_ = marked_ = false;
  error_ = 0;
}

// Notes the line ends of the next stretch after indexed_, each with whether
// its line holds both marks; the line that is still open carries on in
// openMarks_. A stretch at a time, so that the noted ends stay few and near
// the bytes they point into.
void BrailleLines::FindLineEnds() {
  const char* const b = buffer_.get();
  const std::size_t from = indexed_;
  const std::size_t stretchEnd = std::min(end_, from + kStretch);
  std::size_t to = stretchEnd;
  count_ = next_ = 0;
#if defined(__x86_64__)
  if (HasAvx2()) {
    to = NoteLineEndsAvx2(b, from, to, marks_, openMarks_, ends_.get(), count_, kMarked);
  } else
#endif
  {
    // Byte by byte, into the same masks.
    for (std::size_t i = from; i < to; i += 64) {
      GroupMasks g{0, 0, 0};
      std::uint64_t end = 0;
      for (unsigned k = 0; k < 64; ++k) {
        g.lf |= std::uint64_t{b[i + k] == '\n'} << k;
        g.first |= std::uint64_t{b[i + k] == marks_[0]} << k;
        g.second |= std::uint64_t{b[i + k] == marks_[1]} << k;
        end |= std::uint64_t{b[i + k] == kEndOfFile} << k;
      }
      if (to - i < 64) end |= ~std::uint64_t{0} << (to - i);
      const auto at = end != 0 ? static_cast<unsigned>(__builtin_ctzll(end)) : 64u;
      if (at < 64) g.Keep((std::uint64_t{1} << at) - 1);
      NoteGroup(i, g.lf, g.first, g.second, openMarks_, ends_.get(), count_, kMarked);
      if (at < 64) {
        to = std::min(to, i + at);
        break;
      }
    }
  }
  if (to < stretchEnd) {  // a byte 0x1A: the data ends there
    end_ = to;
    atEnd_ = true;
  }
  indexed_ = to;
}

// Keeps the unfinished line (never more than LineCut bytes of it and a CR:
// a longer one is cut before this is called, and what is skipped is not
// kept) and reads one block after it. False when no more bytes come.
bool BrailleLines::Fill() {
  if (atEnd_) return false;
  if (skipping_) begin_ = end_;
  const std::size_t keep = end_ - begin_;
  char* const b = buffer_.get();
  std::memmove(b, b + begin_, keep);
  begin_ = 0;
  end_ = indexed_ = keep;
  count_ = next_ = 0;
  std::size_t got = 0;
  if (const int error = reader_.Read(b + end_, limits_.BlockSize, got); error != 0) {
    error_ = error;
    atEnd_ = true;
    return false;
  }
  if (got == 0) atEnd_ = true;
  end_ += got;  // up to a byte 0x1A, which FindLineEnds finds
  return true;
}

void BrailleLines::HandOut(std::size_t length, bool marked, std::string_view& line) {
  char* const s = buffer_.get() + begin_;
  cut_ = length > limits_.LineCut;
  if (cut_) {
    length = limits_.LineCut;
    marked = std::memchr(s, marks_[0], length) != nullptr && std::memchr(s, marks_[1], length) != nullptr;
  }
  marked_ = marked;
  s[length] = '\0';  // its CR or LF, the first byte cut off, or the padding after the data
  line = std::string_view(s, length);
}

ScanResult BrailleLines::NextSlowly(const DicScanner::Poll& poll, std::string_view& line) {
  if (!IsOpen()) return ScanResult::End;
  if (poll()) return ScanResult::Cancel;
  for (;;) {
    if (next_ == count_ && indexed_ < end_) FindLineEnds();
    if (next_ < count_) {
      const std::uint32_t end = ends_[next_++];
      const std::size_t lf = end & ~kMarked;
      if (skipping_) {  // the end of a cut line
        skipping_ = false;
        begin_ = lf + 1;
        continue;
      }
      std::size_t length = lf - begin_;
      if (length > 0 && buffer_[lf - 1] == '\r') --length;
      HandOut(length, (end & kMarked) != 0, line);
      begin_ = lf + 1;
      return ScanResult::Line;
    }
    if (indexed_ < end_) continue;
    // No line end in what is left. The line is longer than LineCut bytes
    // unless they are followed by a CR, whose LF is not read yet.
    if (const std::size_t held = end_ - begin_;
        !skipping_ && (held > limits_.LineCut + 1 || (held == limits_.LineCut + 1 && buffer_[end_ - 1] != '\r'))) {
      HandOut(end_ - begin_, false, line);  // cut; the rest is skipped
      skipping_ = true;
      begin_ = end_;
      return ScanResult::Line;
    }
    if (atEnd_) {
      if (skipping_) begin_ = end_;  // the rest of a cut line, up to the end
      skipping_ = false;
      if (error_ != 0) return ScanResult::Error;
      if (end_ == begin_) return ScanResult::End;
      HandOut(end_ - begin_, (openMarks_[0] & openMarks_[1]) != 0, line);
      begin_ = end_;
      openMarks_[0] = openMarks_[1] = 0;
      return ScanResult::Line;
    }
    // A block is read before each poll while a cut line is skipped, so that
    // a reading called again after each cancel still moves on.
    const bool skipped = skipping_;
    Fill();
    if (skipped && poll()) return ScanResult::Cancel;
  }
}

}  // namespace tavo
