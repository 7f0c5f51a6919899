// Dots 5 before 2356: a 〔, which a later 2356 1 closes (KanaPrefixSteps.h
// has the moves of the other kana prefix pairs).
#include "convlib/KVCnv.h"

namespace tavolib {

Mode TTavoCnv::CnvDakuon(S, D& d) {
  d.append("\x81\x6B\xF0\x57");  // 〔{F057}
  BracketOpen = true;
  ++Pos;
  return Mode::kText;
}

}  // namespace tavolib
