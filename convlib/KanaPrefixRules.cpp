// The kana prefix pairs that look further than the cell after the prefix
// (KanaPrefixSteps.h has the moves of all the others).
#include "convlib/KVCnv.h"

namespace tavolib {

// Dots 456 + X: the four cells _ X X L as they are, else ／ (there is no
// voiced special contracted sound with X).
Mode TTavoCnv::CnvSpecialYoonDakuon(S s, D& d) {
  if (GetCharAt(s, Pos + 1) == 'X' && GetCharAt(s, Pos + 2) == 'L') {
    d.append("\xF0\x80\xF0\x78\xF0\x78\xF0\x6C");  // {F080}{F078}{F078}{F06C}
    Pos += 3;
  } else {
    d.append("\x81\x5E");  // ／, the X left to the loop
  }
  return Mode::kText;
}

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
