// The apostrophe in a number, which looks to the end of the line
// (NumberLetterSteps.h has the moves of numbers, words and quotations).
#include "convlib/KVCnv.h"

namespace tavolib {

// A digit group separator only when at least three digits follow anywhere
// later on the line; otherwise the cell reads as わ.
Mode TTavoCnv::CnvNumberApostrophe(S s, D& d) {
  d.append(DigitCellsAfter(s, Pos - 1) >= 3 ? "\x81\x43" : "\x82\xED");  // ， or わ
  return Mode::kNumber;
}

}  // namespace tavolib
