// Dots 5 before 2356, which opens a 〔 for a later dots 2356 to close, and
// before 36, which looks one cell further (KanaPrefixSteps.h has the moves
// of the other kana prefix pairs).
#include "convlib/KVCnv.h"

namespace tavolib {

// Dots 5 + 2356 opens a 〔; dots 5 + 36 is a dash, two cells long when a
// second 36 follows.
Mode TTavoCnv::CnvDakuon(S s, D& d) {
  if (GetCharAt(s, Pos) == '7') {
    d.append("\x81\x6B\xF0\x57");  // 〔{F057}
    BracketOpen = true;
  } else {
    d.append("\xF0\x42\xF0\x4D");  // {F042}{F04D}
    if (GetCharAt(s, Pos + 1) == '-') {
      d.append("\xF0\x4D");  // {F04D}
      ++Pos;
    }
  }
  ++Pos;
  return Mode::kText;
}

}  // namespace tavolib
