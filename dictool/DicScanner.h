// The open file of a search, read in large blocks and cut into the lines the
// line grammar reads:
//  - a line ends at LF or at CR LF (the CR is no part of it); a last line
//    without LF keeps all its bytes;
//  - a byte 0x1A ends the file;
//  - a line longer than LineCut bytes is cut there and the rest of it is
//    skipped, never held.
// NextLine hands out every line (RUTE documents, whose lines must be
// converted before they can be matched). NextHit reads a text dictionary
// candidate first: outside a matched group a line without the pattern's
// bytes can be no hit and cannot change the grammar's state, so it looks for
// the pattern in whole blocks and runs the grammar (DicLine.h) only on the
// lines where it occurs, and goes line by line only inside a matched group.
// Both give the same hits as the grammar run on every line; the next call
// goes on after the last line handed out.
//
// Memory: one buffer of LineCut + BlockSize bytes, made at the first Open and
// kept for later files (Capacity). A line handed out points into it and stays
// valid until the next call. Failures are I/O result codes, never exceptions.
// One thread.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "dictool/ByteFinder.h"
#include "dictool/DicLine.h"
#include "platform/files/BlockReader.h"

namespace tavo {

struct ScanLimits {
  std::size_t BlockSize = 256 * 1024;
  std::size_t LineCut = 64 * 1024;
};

// A search word prepared for the grammar and for the block search.
struct DicQuery {
  explicit DicQuery(std::string_view word) : Pattern(PrepareDicPattern(word)), Finder(Pattern.Pattern) {}
  DicPattern Pattern;
  ByteFinder Finder;
};

enum class ScanResult { Line, End, Cancel, Error };

class DicScanner {
 public:
  // Called once per line, per block read and per candidate; true asks the
  // scan to stop. The call then returns Cancel, and a later call goes on
  // where it stopped.
  using Poll = std::function<bool()>;

  explicit DicScanner(ScanLimits limits = {});

  // Opens a regular file (BlockReader.h); 0 or an errno value. A file open
  // already is closed first.
  int Open(std::string_view path);
  void Close();
  bool IsOpen() const { return reader_.IsOpen(); }

  // The next line. End after the last one, Error (see ReadError) when the
  // file could not be read on; a line cut short by a read error is not given.
  ScanResult NextLine(const Poll& poll, std::string_view& line);

  // The next line that the grammar takes as a hit for `query`;
  // `inMatchedGroup` is the grammar's state, false at the start of a file.
  ScanResult NextHit(const DicQuery& query, bool& inMatchedGroup, const Poll& poll, std::string_view& line);

  int ReadError() const { return error_; }
  std::size_t Capacity() const { return buffer_ ? capacity_ : 0; }

 private:
  void Fill();
  bool CutLine(std::size_t start, std::string_view& line);
  bool SkipRestOfLine(const Poll& poll);

  ScanLimits limits_;
  std::size_t capacity_;
  BlockReader reader_;
  std::unique_ptr<char[]> buffer_;
  // Bytes [0, end_) of the buffer hold data; [begin_, end_) is unread and
  // begin_ is a line start unless skipping_. No occurrence of the pattern
  // begins in [begin_, searched_).
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t searched_ = 0;
  bool skipping_ = false;  // the rest of a cut line is being passed over
  bool atEnd_ = false;     // no more bytes will come (end, 0x1A or error)
  int error_ = 0;
};

}  // namespace tavo
