// A frozen copy of the converter as it stood before its inner loop was
// reworked for speed (raw output buffer, table steps): the differential test
// and the fuzzer compare the library with it byte for byte. It reads the
// library's own reading tables, which ReadingTableTest pins. Keep it as it
// is: only a fault that both share would be fixed here too.
//
// TTavoCnv: the converter from NABCC braille text (one byte 0x20-0x5F per
// six-dot cell) to CP932 kana text with cell characters.
//
// A conversion never fails: every byte has a defined outcome, bytes that are
// no cell give nothing (except 0xDE and 0xDF, the half-width sound marks).
// Pos and the bracket flags are reset at the start of every CnvText call, so
// nothing carries over from one line to the next. Not reentrant: one object
// is used from one thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "convlib/TavoTbl.h"

namespace tavo::reference {

using namespace tavolib;  // the reading tables

// Low byte of the option word: a voiced or semi-voiced prefix cell stays in
// the output as its cell character, so that every cell keeps one output
// character. The high byte is read nowhere.
inline bool KeepCells(uint16_t option) { return (option & 0xFF) != 0; }

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

  // Converts s up to its first NUL (all of it when it has none) into dest,
  // replacing dest's contents, and returns dest's length in bytes. Only the
  // first kMaxLineBytes bytes of a longer s are read. s must not alias dest.
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
  using D = std::string;

  // The reading of the cell after the prefix in `table`, consuming it; the
  // text `alone` when it has none there.
  bool TableRule(const std::array<std::string_view, 256>& table, std::string_view alone, S s, D& d);

  // Kana prefix rules: always handled.
  bool CnvYoon(S s, D& d, uint16_t o);
  bool CnvYoonDakuon(S s, D& d, uint16_t o);
  bool CnvYoonHandakuon(S s, D& d, uint16_t o);
  bool CnvSpecialDakuon(S s, D& d, uint16_t o);
  bool CnvSpecial(S s, D& d, uint16_t o);
  bool CnvSpecialYoonDakuon(S s, D& d, uint16_t o);
  bool CnvDakuon(S s, D& d, uint16_t o);
  bool CnvHandakuon(S s, D& d, uint16_t o);
  // Bracket and symbol rules.
  bool CnvKagi(S s, D& d, uint16_t o);
  bool CnvKakko(S s, D& d, uint16_t o);
  bool CnvArrow(S s, D& d, uint16_t o);
  bool CnvLongVowel(S s, D& d, uint16_t o);
  bool CnvLeader(S s, D& d, uint16_t o);
  bool CnvStar(S s, D& d, uint16_t o);
  // Number mode and foreign letters.
  bool CnvNumber(S s, D& d, uint16_t o);
  bool CnvAlphabet(S s, D& d, uint16_t o);
  bool CnvForeignQuote(S s, D& d, uint16_t o);

  // Runs the rule of prefix cell c; false when c is no prefix cell or its rule
  // leaves the cell to KanaTable.
  bool RunPrefixRule(unsigned char c, S s, D& d, uint16_t o);

  // Number of digit cells (A-J) after position i (counted from 1) up to the
  // end of s. The positions asked for never go back within one conversion,
  // so the count is kept by a cursor that reads every byte at most once.
  int32_t DigitCellsAfter(S s, int32_t i);
  int32_t digitTotal_ = -1;  // digit cells in the whole of s; -1 = not counted yet
  int32_t digitCursor_ = 0;  // positions 1..digitCursor_ have been counted
  int32_t digitsUpToCursor_ = 0;
};

}  // namespace tavo::reference
