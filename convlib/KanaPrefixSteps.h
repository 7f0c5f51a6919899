// Voiced, semi-voiced, contracted and special syllables: a prefix cell
// followed by the cell of the plain kana. Each prefix reads the cell after it
// from its tables, and otherwise writes a text of its own and leaves that
// cell to the loop. Only dots 5 before 2356, which opens a 〔 for a later
// 2356 to close, runs its rule (KanaPrefixRules.cpp).
//
// Follow modes of this family, by the cell they land on:
//   kFollowA  X  X after 456 (perhaps the mark _ X X L)
//             L  the end of _ X X L
//   kFollowB  X  the second X of 456 X X
//   kFollowC  -  36 after 5 (a dash, one or two cells long)
#pragma once

#include <optional>

#include "convlib/CellSteps.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace kana_prefix {

// Dots 5 + a cell with no voiced kana: a mark, the prefix kept as its cell
// character.
inline constexpr CellTable DakuonMarkTable = MakeTable({
    {'1', "\xF0\x42\xF0\x51"},  // {F042}{F051}
    {'Y', "\xF0\x42\x81\xA0"},  // {F042}□
    {'Z', "\xF0\x42\x81\x9B"},  // {F042}○
    {'(', "\xF0\x42\x81\xA2"},  // {F042}△
    {'=', "\xF0\x42\x81\x7E"},  // {F042}×
    {')', "\xF0\x42\xF0\x49"},  // {F042}{F049}
});

// Dots 6 + a cell with no semi-voiced kana: the two cell characters.
inline constexpr CellTable HandakuonMarkTable = MakeTable({
    {'5', "\xF0\x4C\xF0\x55"},  // {F04C}{F055}
    {'7', "\xF0\x4C\xF0\x57"},  // {F04C}{F057}
    {'8', "\xF0\x4C\xF0\x58"},  // {F04C}{F058}
    {'\'', "\xF0\x4C\xF0\x47"},  // {F04C}{F047}
    {'-', "\xF0\x4C\xF0\x4D"},  // {F04C}{F04D}
});

// Dots 26 + dots 26.
inline constexpr CellTable SpecialMarkTable = MakeTable({
    {'5', "\xF0\x55\x81\x84"},  // {F055}＞
});

}  // namespace kana_prefix

// The cells whose moves, in some mode of this family, depend on the cell
// after them.
inline constexpr std::string_view kKanaPrefixCells = "@^.45_\",X-";

// Running text, prefix cell c before `next`; nullopt for other cells. Alone,
// each prefix writes the text after its tables.
consteval std::optional<Move> KanaPrefixMove(unsigned char c, unsigned char next, bool keepCells) {
  using namespace kana_prefix;
  switch (c) {
    case '@': return PairMove({&YoonTable}, "\xF0\x60", next);                   // {F060}
    case '^': return PairMove({&YoonDakuonTable}, "\xF0\x7E", next);             // {F07E}
    case '.': return PairMove({&YoonHandakuonTable}, "\xF0\x4E", next);          // {F04E}
    case '4': return PairMove({&SpecialDakuonTable}, "\x81\x42", next);          // 。
    case '5': return PairMove({&SpecialTable, &SpecialMarkTable}, "\x81\x48", next);  // ？
    case '_':
      if (next == 'X') return Write({}, Mode::kFollowA);  // perhaps _ X X L
      return PairMove({&SpecialYoonDakuonTable}, "\x81\x5E", next);  // ／
    case '"':
      if (next == '7') return RunRule(Rule::kBracketOpen);
      if (next == '-') return Write("\xF0\x42", Mode::kFollowC);  // {F042}
      return PairMove({keepCells ? &DakuonPrefixedTable : &DakuonTable, &DakuonMarkTable}, "\x81\x45",
                      next);  // ・
    case ',':
      return PairMove({keepCells ? &HandakuonPrefixedTable : &HandakuonTable, &HandakuonMarkTable},
                      "\xF0\x4C", next);  // {F04C}
    default: return std::nullopt;
  }
}

// Cell c before `next` in a follow mode of this family (the table above);
// nullopt for the others. Short of its L, the mark _ X X L reads as ／ and
// plain kana.
consteval std::optional<Move> KanaPrefixModeMove(Mode mode, unsigned char c, unsigned char next) {
  if (mode == Mode::kFollowA && c == 'X') {
    if (next == 'X') return Write({}, Mode::kFollowB);
    return Write("\x81\x5E\x82\xD3");  // ／ふ
  }
  if (mode == Mode::kFollowB && c == 'X') {
    if (next == 'L') return Write("\xF0\x80\xF0\x78\xF0\x78", Mode::kFollowA);  // {F080}{F078}{F078}
    return Write("\x81\x5E\x82\xD3\x82\xD3");  // ／ふふ
  }
  if (mode == Mode::kFollowA && c == 'L') return Write("\xF0\x6C");  // {F06C}
  if (mode == Mode::kFollowC && c == '-') {
    if (next == '-') return Write("\xF0\x4D\xF0\x4D", Mode::kSkip);  // {F04D}{F04D}
    return Write("\xF0\x4D");  // {F04D}
  }
  return std::nullopt;
}

}  // namespace tavolib
