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

#if defined(__x86_64__)
// Line ends and the two marks of 64 bytes as bit masks.
__attribute__((target("avx2"))) void Masks64(const char* p, const char (&mark)[2], std::uint64_t& ends,
                                             std::uint64_t& first, std::uint64_t& second) {
  const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
  std::uint64_t* const out[3] = {&ends, &first, &second};
  const char bytes[3] = {'\n', mark[0], mark[1]};
  for (int k = 0; k < 3; ++k) {
    const __m256i v = _mm256_set1_epi8(bytes[k]);
    *out[k] = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(a, v))) |
              std::uint64_t{static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(b, v)))} << 32;
  }
}
#endif

}  // namespace

BrailleLines::BrailleLines(ScanLimits limits) : limits_(limits) {}

int BrailleLines::Open(std::string_view path) {
  Close();
  const int error = reader_.Open(path);
  if (error != 0) return error;
  if (!buffer_) {
    buffer_ = std::make_unique_for_overwrite<char[]>(limits_.LineCut + limits_.BlockSize + kPadding);
    ends_.reserve(kStretch);
  }
  return 0;
}

void BrailleLines::Close() {
  if (reader_.IsOpen()) reader_.Close();  // a failing close changes nothing for a reader
  begin_ = end_ = indexed_ = next_ = 0;
  ends_.clear();
  openMarks_ = 0;
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
  const std::size_t to = std::min(end_, from + kStretch);
  ends_.clear();
  next_ = 0;
  unsigned open = openMarks_;
  const auto end = [&](std::size_t at) {
    ends_.push_back(static_cast<std::uint32_t>(at) | (open == 3 ? kMarked : 0));
    open = 0;
  };
  std::size_t i = from;
#if defined(__x86_64__)
  if (HasAvx2()) {
    // Groups of 64 that reach past `to` read into the padding or into bytes
    // that are not data yet: their bits are dropped.
    for (; i < to; i += 64) {
      std::uint64_t ends = 0, first = 0, second = 0;
      Masks64(b + i, marks_, ends, first, second);
      if (to - i < 64) {
        const std::uint64_t valid = (std::uint64_t{1} << (to - i)) - 1;
        ends &= valid;
        first &= valid;
        second &= valid;
      }
      while (ends != 0) {
        const auto at = static_cast<unsigned>(__builtin_ctzll(ends));
        const std::uint64_t upTo = (std::uint64_t{2} << at) - 1;  // the line end's bit and those before it
        open |= ((first & upTo) != 0 ? 1u : 0u) | ((second & upTo) != 0 ? 2u : 0u);
        end(i + at);
        first &= ~upTo;
        second &= ~upTo;
        ends &= ends - 1;
      }
      open |= (first != 0 ? 1u : 0u) | (second != 0 ? 2u : 0u);
    }
    i = to;
  }
#endif
  for (; i < to; ++i) {
    if (b[i] == '\n') end(i);
    else if (b[i] == marks_[0]) open |= 1;
    else if (b[i] == marks_[1]) open |= 2;
  }
  openMarks_ = open;
  indexed_ = to;
}

// Keeps the unfinished line (never more than LineCut bytes of it: a longer
// one is cut before this is called, and what is skipped is not kept) and
// reads one block after it. False when no more bytes come.
bool BrailleLines::Fill() {
  if (atEnd_) return false;
  if (skipping_) begin_ = end_;
  const std::size_t keep = end_ - begin_;
  char* const b = buffer_.get();
  std::memmove(b, b + begin_, keep);
  begin_ = 0;
  end_ = indexed_ = keep;
  ends_.clear();
  next_ = 0;
  std::size_t got = 0;
  if (const int error = reader_.Read(b + end_, limits_.BlockSize, got); error != 0) {
    error_ = error;
    atEnd_ = true;
    return false;
  }
  if (got == 0) atEnd_ = true;
  if (const void* eof = std::memchr(b + end_, kEndOfFile, got)) {
    got = static_cast<std::size_t>(static_cast<const char*>(eof) - (b + end_));
    atEnd_ = true;
  }
  end_ += got;
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
    if (next_ == ends_.size() && indexed_ < end_) FindLineEnds();
    if (next_ < ends_.size()) {
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
    // No line end in what is left.
    if (!skipping_ && end_ - begin_ > limits_.LineCut) {
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
      HandOut(end_ - begin_, openMarks_ == 3, line);
      begin_ = end_;
      openMarks_ = 0;
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
