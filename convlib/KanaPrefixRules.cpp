// Voiced, semi-voiced, contracted and special syllables: a prefix cell
// followed by the cell of the plain kana. Each prefix reads the cell after
// it from its tables, and otherwise writes a text of its own and leaves that
// cell to the main loop. Only three pairs need more: dots 456 before X X L,
// dots 5 before 2356 (which opens a 〔) and dots 5 before 36 (which looks at
// the cell after).
#include "convlib/CellSteps.h"
#include "convlib/KVCnv.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace {

// Dots 5 + a cell with no voiced kana: a mark, the prefix kept as its cell
// character.
constexpr CellTable DakuonMarkTable = MakeTable({
    {'1', "\xF0\x42\xF0\x51"},  // {F042}{F051}
    {'Y', "\xF0\x42\x81\xA0"},  // {F042}□
    {'Z', "\xF0\x42\x81\x9B"},  // {F042}○
    {'(', "\xF0\x42\x81\xA2"},  // {F042}△
    {'=', "\xF0\x42\x81\x7E"},  // {F042}×
    {')', "\xF0\x42\xF0\x49"},  // {F042}{F049}
});

// Dots 6 + a cell with no semi-voiced kana: the two cell characters.
constexpr CellTable HandakuonMarkTable = MakeTable({
    {'5', "\xF0\x4C\xF0\x55"},  // {F04C}{F055}
    {'7', "\xF0\x4C\xF0\x57"},  // {F04C}{F057}
    {'8', "\xF0\x4C\xF0\x58"},  // {F04C}{F058}
    {'\'', "\xF0\x4C\xF0\x47"},  // {F04C}{F047}
    {'-', "\xF0\x4C\xF0\x4D"},  // {F04C}{F04D}
});

// Dots 26 + dots 26.
constexpr CellTable SpecialMarkTable = MakeTable({
    {'5', "\xF0\x55\x81\x84"},  // {F055}＞
});

}  // namespace

// Alone, each prefix writes the text after its tables.
constinit const StepRow YoonSteps = PairRow({&YoonTable}, "\xF0\x60");  // {F060}
constinit const StepRow YoonDakuonSteps = PairRow({&YoonDakuonTable}, "\xF0\x7E");  // {F07E}
constinit const StepRow YoonHandakuonSteps = PairRow({&YoonHandakuonTable}, "\xF0\x4E");  // {F04E}
constinit const StepRow SpecialDakuonSteps = PairRow({&SpecialDakuonTable}, "\x81\x42");  // 。
constinit const StepRow SpecialSteps = PairRow({&SpecialTable, &SpecialMarkTable}, "\x81\x48");  // ？
constinit const StepRow SpecialYoonDakuonSteps =
    PairRow({&SpecialYoonDakuonTable}, "\x81\x5E", "X");  // ／
constinit const StepRow DakuonSteps = PairRow({&DakuonTable, &DakuonMarkTable}, "\x81\x45", "7-");  // ・
constinit const StepRow DakuonPrefixedSteps =
    PairRow({&DakuonPrefixedTable, &DakuonMarkTable}, "\x81\x45", "7-");  // ・
constinit const StepRow HandakuonSteps = PairRow({&HandakuonTable, &HandakuonMarkTable}, "\xF0\x4C");  // {F04C}
constinit const StepRow HandakuonPrefixedSteps =
    PairRow({&HandakuonPrefixedTable, &HandakuonMarkTable}, "\xF0\x4C");  // {F04C}

// Dots 456 + X: the four cells _ X X L as they are, else ／ (there is no
// voiced special contracted sound with X).
bool TTavoCnv::CnvSpecialYoonDakuon(S s, D& d, uint16_t) {
  if (GetCharAt(s, Pos) == 'X' && GetCharAt(s, Pos + 1) == 'X' && GetCharAt(s, Pos + 2) == 'L') {
    d.append("\xF0\x80\xF0\x78\xF0\x78\xF0\x6C");  // {F080}{F078}{F078}{F06C}
    Pos += 3;
  } else {
    d.append("\x81\x5E");  // ／, the X left to the main loop
  }
  return true;
}

// Dots 5 + 2356 opens a 〔; dots 5 + 36 is a dash, two cells long when a
// second 36 follows.
bool TTavoCnv::CnvDakuon(S s, D& d, uint16_t) {
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
  return true;
}

}  // namespace tavolib
