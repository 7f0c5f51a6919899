#include "dictool/DicScanner.h"

#include <algorithm>
#include <string.h>  // memrchr

#include <cstring>

namespace tavo {
namespace {

constexpr char kEndOfFile = 0x1A;

}  // namespace

DicScanner::DicScanner(ScanLimits limits) : limits_(limits), capacity_(limits.LineCut + limits.BlockSize) {}

int DicScanner::Open(std::string_view path) {
  Close();
  const int error = reader_.Open(path);
  if (error != 0) return error;
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
  return 0;
}

void DicScanner::Close() {
  if (reader_.IsOpen()) reader_.Close();  // a failing close changes nothing for a reader
  begin_ = end_ = searched_ = 0;
  skipping_ = atEnd_ = false;
  error_ = 0;
}

// Keeps the unread bytes (never more than LineCut of them: a longer line is
// cut or skipped before this is called) and reads one block after them.
void DicScanner::Fill() {
  if (atEnd_) return;
  searched_ = std::max(searched_, begin_) - begin_;
  const std::size_t keep = end_ - begin_;
  std::memmove(buffer_.get(), buffer_.get() + begin_, keep);
  begin_ = 0;
  end_ = keep;
  std::size_t got = 0;
  if (const int error = reader_.Read(buffer_.get() + end_, limits_.BlockSize, got); error != 0) {
    error_ = error;
    atEnd_ = true;
    return;
  }
  if (got == 0) atEnd_ = true;
  if (const void* eof = std::memchr(buffer_.get() + end_, kEndOfFile, got)) {
    got = static_cast<std::size_t>(static_cast<const char*>(eof) - (buffer_.get() + end_));
    atEnd_ = true;
  }
  end_ += got;
}

// Cuts the line that starts at `start` and steps past it. False when its end
// has not been read yet (or a read error cut it short).
bool DicScanner::CutLine(std::size_t start, std::string_view& line) {
  const char* s = buffer_.get() + start;
  const std::size_t avail = end_ - start;
  const std::size_t cut = limits_.LineCut;
  const void* lf = std::memchr(s, '\n', std::min(avail, cut + 1));
  if (lf != nullptr) {
    const std::size_t raw = static_cast<std::size_t>(static_cast<const char*>(lf) - s);
    const std::size_t content = raw > 0 && s[raw - 1] == '\r' ? raw - 1 : raw;
    line = std::string_view(s, std::min(content, cut));
    begin_ = start + raw + 1;
  } else if (avail > cut) {
    // More than LineCut bytes and no line end: the line is cut, and the rest
    // of it is passed over by later calls.
    line = std::string_view(s, cut);
    begin_ = start + cut + 1;
    skipping_ = true;
  } else if (atEnd_ && error_ == 0 && avail > 0) {
    line = std::string_view(s, avail);
    begin_ = end_;
  } else {
    return false;
  }
  searched_ = begin_;
  return true;
}

// False when the poll asked to stop.
bool DicScanner::SkipRestOfLine(const Poll& poll) {
  while (skipping_) {
    if (const void* lf = std::memchr(buffer_.get() + begin_, '\n', end_ - begin_)) {
      begin_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.get()) + 1;
      skipping_ = false;
      break;
    }
    begin_ = end_;
    if (atEnd_) {
      skipping_ = false;
      break;
    }
    // A block is read before each poll, so that a scan called again after
    // each cancel still moves on.
    Fill();
    if (poll()) return false;
  }
  return true;
}

ScanResult DicScanner::NextLine(const Poll& poll, std::string_view& line) {
  if (!IsOpen()) return ScanResult::End;
  if (poll()) return ScanResult::Cancel;
  for (;;) {
    if (!SkipRestOfLine(poll)) return ScanResult::Cancel;
    if (CutLine(begin_, line)) return ScanResult::Line;
    if (atEnd_) return error_ != 0 ? ScanResult::Error : ScanResult::End;
    Fill();
  }
}

ScanResult DicScanner::NextHit(const DicQuery& query, bool& inMatchedGroup, const Poll& poll,
                               std::string_view& line) {
  if (!IsOpen()) return ScanResult::End;
  for (;;) {
    if (inMatchedGroup) {
      // Every member line is a hit and any line may end the group.
      const ScanResult r = NextLine(poll, line);
      if (r != ScanResult::Line) return r;
      if (IsDicHit(line, query.Pattern, inMatchedGroup)) return ScanResult::Line;
      continue;
    }
    if (poll()) return ScanResult::Cancel;
    if (!SkipRestOfLine(poll)) return ScanResult::Cancel;
    searched_ = std::max(searched_, begin_);
    char* const base = buffer_.get();
    const std::size_t found = query.Finder.Find(base + searched_, end_ - searched_);
    if (found != ByteFinder::npos) {
      const std::size_t at = searched_ + found;
      const void* nl = memrchr(base + begin_, '\n', at - begin_);
      begin_ = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) + 1 : begin_;
      searched_ = at;
      if (!CutLine(begin_, line)) {
        if (atEnd_) return ScanResult::Error;  // only a read error withholds a line
        Fill();
        continue;
      }
      if (IsDicHit(line, query.Pattern, inMatchedGroup)) return ScanResult::Line;
      continue;
    }
    if (atEnd_) {
      begin_ = end_;
      return error_ != 0 ? ScanResult::Error : ScanResult::End;
    }
    // No occurrence in what was read: keep only the last, unfinished line,
    // and of it only the bytes an occurrence could still start in.
    const void* nl = memrchr(base + begin_, '\n', end_ - begin_);
    begin_ = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) + 1 : begin_;
    if (end_ - begin_ > limits_.LineCut) {
      // Its cut part holds no occurrence: none of it matters.
      begin_ = end_;
      skipping_ = true;
    } else {
      const std::size_t overlap = std::min(end_ - begin_, query.Finder.size() > 0 ? query.Finder.size() - 1 : 0);
      searched_ = end_ - overlap;
    }
    Fill();
  }
}

}  // namespace tavo
