// TTavoCnv: the converter from NABCC braille text (one byte 0x20-0x5F per
// six-dot cell) to CP932 kana text with cell characters.
//
// A conversion never fails: every byte has a defined outcome, bytes that are
// no cell give nothing (except 0xDE and 0xDF, the half-width sound marks).
// Pos and the bracket flags are reset at the start of every conversion, so
// nothing carries over from one line to the next. Not reentrant: one object
// is used from one thread.
//
// The result is written into a buffer that the converter owns and reuses. A
// line is read where it lies when a NUL follows it and it is not the last
// result; otherwise it is copied into a second buffer first. Cells are read
// by the step machine of CellSteps.h, one table step per cell; the rules
// below run only where its moves leave a cell to them.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "convlib/CellSteps.h"

namespace tavolib {

// Low byte of the option word: a voiced or semi-voiced prefix cell stays in
// the output as its cell character, so that every cell keeps one output
// character. The high byte is read nowhere.
inline bool KeepCells(uint16_t option) { return (option & 0xFF) != 0; }

// The bytes whose cells can write `character` (one whole CP932 character)
// in a conversion with this KeepCells: cells[b] = 1 for each such byte b,
// 0 for every other. Each character of a result lies within one text that
// one cell's step or rule wrote, so a result holding `character` where a
// character begins was converted from a line holding one of these bytes.
// False, with every cell set, when `character` is not one character or a
// text does not split into whole characters. Reads only constant tables;
// thread-safe.
bool SourceCells(std::string_view character, bool keepCells, uint8_t cells[256]);

// Where the rules write: a cursor into the converter's buffer, which was made
// large enough for the whole line before the first cell was read (no rule
// writes more than two bytes per cell it reads), so a write never checks for
// room.
class Output {
 public:
  explicit Output(char* at) : at_(at) {}
  void append(std::string_view text) {
    // Most texts are one character: a copy of known size needs no call. An
    // empty table entry has no data to copy from at all.
    if (text.size() == 2) {
      std::memcpy(at_, text.data(), 2);
    } else if (!text.empty()) {
      std::memcpy(at_, text.data(), text.size());
    }
    at_ += text.size();
  }
  char* end() const { return at_; }

 private:
  char* at_;
};

// A byte buffer kept from line to line: it grows to the longest line seen
// and keeps that size until its owner ends.
class LineBuffer {
 public:
  // At least n bytes; what they held before is lost when the buffer grows.
  // Throws std::bad_alloc.
  char* Reserve(size_t n);
  // Whether p points into the buffer.
  bool Holds(const char* p) const;

 private:
  std::unique_ptr<char[]> data_;
  size_t capacity_ = 0;
};

class TTavoCnv {
 public:
  // The input cursor counted from 1. While a prefix rule runs it already
  // indexes the cell after the prefix; a rule consumes a cell by advancing it.
  int32_t Pos = 0;
  bool KagiOpen = false;     // a 「 is open
  bool KakkoOpen = false;    // a （ is open
  bool BracketOpen = false;  // a 〔 was opened by dots 5 + dots 2356

  // The longest line read: positions and the result's length (two bytes per
  // cell at most) fit in 32 bits. Braille lines are a few dozen cells.
  static constexpr size_t kMaxLineBytes = INT32_MAX / 2;

  // Converts s up to its first NUL (all of it when it has none; only the
  // first kMaxLineBytes bytes of a longer s) and returns the result:
  // NUL-terminated, in the converter's buffer, valid until the next
  // conversion or the converter's end. s may be the last result. Throws
  // std::bad_alloc when the buffer for the line cannot be had.
  std::string_view Convert(std::string_view s, uint16_t option);

  // The same for a NUL-terminated source, read where it lies unless it is
  // the last result or longer than kMaxLineBytes.
  std::string_view ConvertCString(const char* source, uint16_t option);

  // Convert() into dest, replacing its contents; returns dest's length.
  int32_t CnvText(std::string_view s, std::string& dest, uint16_t option);

  // Clears the three bracket flags; Pos is untouched.
  void ClearState();

  // The byte of s at position i counted from 1, NUL past the end or before
  // the start (a NUL means the end of the input to every rule).
  static unsigned char GetCharAt(std::string_view s, int32_t i) {
    return i >= 1 && static_cast<size_t>(i) <= s.size() ? static_cast<unsigned char>(s[i - 1]) : 0;
  }

 private:
  using S = std::string_view;
  using D = Output;

  // The rules, each for what the moves of CellSteps.h leave to it (the
  // comments of enum Rule). Pos indexes the cell after the one that ran the
  // rule; each returns the mode to go on in.
  Mode RunRule(Rule rule, S s, D& d);
  // Dots 5 + 2356, and the brackets.
  Mode CnvDakuon(S s, D& d);
  Mode CnvKagi(S s, D& d);
  Mode CnvKakko(S s, D& d);
  // The apostrophe in a number.
  Mode CnvNumberApostrophe(S s, D& d);

  // Converts a line that holds no NUL and is followed by one (read as the
  // cell after the last) and that does not lie in output_.
  std::string_view ConvertLine(std::string_view line, uint16_t option);

  // Number of digit cells (A-J) after position i (counted from 1) up to the
  // end of s. The positions asked for never go back within one conversion,
  // so the count is kept by a cursor that reads every byte at most once.
  int32_t DigitCellsAfter(S s, int32_t i);
  int32_t digitTotal_ = -1;  // digit cells in the whole of s; -1 = not counted yet
  int32_t digitCursor_ = 0;  // positions 1..digitCursor_ have been counted
  int32_t digitsUpToCursor_ = 0;

  LineBuffer input_;   // a copy of the line and a NUL, where one is needed
  LineBuffer output_;  // the result
};

}  // namespace tavolib
