// The lines of a RUTE document as the searches read them, every one in
// turn, with the rules of the dictionary scan (DicScanner.h):
//  - a line ends at LF or at CR LF (the CR is no part of it); a last line
//    without LF keeps all its bytes;
//  - a byte 0x1A ends the file;
//  - a line longer than LineCut bytes is cut there and the rest of it is
//    skipped, never held (LineWasCut tells it).
// A document is read in blocks, and the line ends of some KiB of a block
// are found in one pass over them (with the end-of-file byte, and whether
// each line holds both bytes the caller names: SetLineMarks): handing out a
// line then costs no call, for documents hold millions of lines of a few
// dozen bytes, and TakeLines hands out a run of them at less than that. A
// line handed out points into the reader's buffer, is followed there by a
// NUL (written over its line end), so that the converter reads it where it
// lies, and stays valid until the next call.
//
// Memory: one buffer of LineCut + BlockSize bytes and a little padding, and
// the line ends of one pass, made at the first Open and kept for later
// files. Failures are I/O result codes, never exceptions. One thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "dictool/DicScanner.h"
#include "platform/files/BlockReader.h"

namespace tavo {

class BrailleLines {
 public:
  explicit BrailleLines(ScanLimits limits = {});

  // Opens a regular file (BlockReader.h); 0 or an errno value. A file open
  // already is closed first.
  int Open(std::string_view path);
  void Close();
  bool IsOpen() const { return reader_.IsOpen(); }

  // The next line: End after the last one, Error (see ReadError) when the
  // file could not be read on (a line cut short by it is not given), Cancel
  // when `poll`, asked once per line and once per block read while the rest
  // of a cut line is skipped, asked to stop; a later call goes on where it
  // stopped.
  ScanResult Next(const DicScanner::Poll& poll, std::string_view& line) {
    // Most lines: a line end found already, the line not too long.
    bool stopped = false;
    if (TakeLines(poll, stopped, [&line](std::string_view l, bool, std::string_view) {
          line = l;
          return false;
        }) != 0) [[likely]]
      return ScanResult::Line;
    return stopped ? ScanResult::Cancel : NextSlowly(poll, line);
  }

  // The lines that follow, handed to `take(line, holdsMarks, following)` as
  // Next hands them out (the poll asked before each), while their line ends
  // are found already and none is cut, until `take` returns false; the count
  // handed out; Next reads on from there. `following` is the raw bytes of
  // the line after (up to its LF, a CR or more than LineCut bytes included)
  // where its end is found already, else a view without data; valid only
  // during the call. `stopped` tells that the poll asked to stop. For a run
  // of lines it costs less a line than Next: the reading stays in registers.
  template <class Take>
  std::size_t TakeLines(const DicScanner::Poll& poll, bool& stopped, Take&& take) {
    const std::uint32_t* const ends = ends_.get();
    char* const buffer = buffer_.get();
    const std::size_t count = skipping_ ? 0 : count_;
    const std::size_t cut = limits_.LineCut;
    std::size_t next = next_;
    std::size_t begin = begin_;
    std::size_t taken = 0;
    while (next < count) {
      const std::uint32_t end = ends[next];
      const std::size_t lf = end & ~kMarked;
      if (lf - begin > cut) break;
      if (poll()) {
        stopped = true;
        break;
      }
      char* const s = buffer + begin;
      std::size_t length = lf - begin;
      if (length > 0 && s[length - 1] == '\r') --length;
      s[length] = '\0';
      ++next;
      begin = lf + 1;
      ++taken;
      const std::string_view following =
          next < count ? std::string_view(buffer + begin, (ends[next] & ~kMarked) - begin) : std::string_view();
      if (!take(std::string_view(s, length), (end & kMarked) != 0, following)) break;
    }
    if (taken != 0) {
      next_ = next;
      begin_ = begin;
      cut_ = false;
      marked_ = (ends[next - 1] & kMarked) != 0;
    }
    return taken;
  }

  bool LineWasCut() const { return cut_; }
  // Two bytes whose lines are noted (none at first: the LF, which no line
  // holds), and whether the last line handed out holds both, in any order.
  // Kept across files.
  void SetLineMarks(char first, char second) {
    marks_[0] = first;
    marks_[1] = second;
  }
  bool LineHoldsMarks() const { return marked_; }

  int ReadError() const { return error_; }
  std::size_t Capacity() const { return buffer_ ? limits_.LineCut + limits_.BlockSize : 0; }

 private:
  // A line end found: its offset in the buffer, the top bit set when the
  // line before it holds both marks.
  static constexpr std::uint32_t kMarked = 0x80000000u;

  ScanResult NextSlowly(const DicScanner::Poll& poll, std::string_view& line);
  bool Fill();
  // Notes the line ends of the next stretch of unindexed bytes, replacing
  // those noted before.
  void FindLineEnds();
  void HandOut(std::size_t length, bool marked, std::string_view& line);

  ScanLimits limits_;
  BlockReader reader_;
  std::unique_ptr<char[]> buffer_;
  // Bytes [0, end_) hold data; [begin_, end_) is unread and begins a line
  // unless skipping_. ends_[next_...] are the line ends found in it up to
  // indexed_, in order: ends_[next_, count_).
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t indexed_ = 0;
  std::unique_ptr<std::uint32_t[]> ends_;
  std::size_t next_ = 0;
  std::size_t count_ = 0;
  unsigned openMarks_[2] = {0, 0};  // whether the unfinished line after the last end holds each mark
  bool skipping_ = false;    // the rest of a cut line is being passed over
  bool atEnd_ = false;       // no more bytes will come (end, 0x1A or error)
  int error_ = 0;
  char marks_[2] = {'\n', '\n'};
  bool cut_ = false;
  bool marked_ = false;
};

}  // namespace tavo
