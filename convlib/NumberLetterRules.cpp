// What numbers and foreign letters read beyond the cell after the current
// one (NumberLetterSteps.h has the moves of the number, word and quotation
// modes): the apostrophe in a number, 25 25 and 34 34 in a number, and
// dots 56 before P or 36.
#include "convlib/CellSteps.h"
#include "convlib/KVCnv.h"

namespace tavolib {

// Dots 56 before P: ％ unless a letter follows, which makes P the first
// letter of a word; before 36: a dash.
Mode TTavoCnv::CnvAlphabet(S s, D& d) {
  if (GetCharAt(s, Pos) == '-') {
    if (GetCharAt(s, Pos + 1) == '-') {
      d.append("\xF0\x5B\xF0\x4D\xF0\x4D");  // {F05B}{F04D}{F04D}
      ++Pos;
    } else {
      d.append("\x81\x77\xF0\x4D");  // 『{F04D}
    }
    ++Pos;
    return Mode::kText;
  }
  d.append("\xF0\x5B");  // {F05B}
  if (IsLetterCell(GetCharAt(s, Pos + 1))) return Mode::kWord;
  d.append("\x81\x93");  // ％
  ++Pos;
  return Mode::kText;
}

// A digit group separator only when at least three digits follow anywhere
// later on the line; otherwise the cell reads as わ.
Mode TTavoCnv::CnvNumberApostrophe(S s, D& d) {
  d.append(DigitCellsAfter(s, Pos - 1) >= 3 ? "\x81\x43" : "\x82\xED");  // ， or わ
  return Mode::kNumber;
}

// 25 25 before a digit or a number sign: ＝＝, which ends the number; the
// sign after it starts the next. Otherwise the first 25 is ：.
Mode TTavoCnv::CnvNumberEquals(S s, D& d) {
  const unsigned char z = GetCharAt(s, Pos + 1);
  if (IsDigitCell(z) || z == '#') {
    d.append("\x81\x81\x81\x81");  // ＝＝
    ++Pos;
    return Mode::kText;
  }
  d.append("\x81\x46");  // ：
  return Mode::kNumber;
}

// 34 34 before a number sign: ÷÷, which ends the number. Otherwise the
// number ends before the first 34, which reads as text.
Mode TTavoCnv::CnvNumberDivide(S s, D& d) {
  if (GetCharAt(s, Pos + 1) == '#') {
    d.append("\x81\x80\x81\x80");  // ÷÷
    ++Pos;
  } else {
    --Pos;
  }
  return Mode::kText;
}

}  // namespace tavolib
