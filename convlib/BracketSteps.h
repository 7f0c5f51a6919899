// Cells that double as brackets, dashes, arrows and marks. Whether dots 36
// or dots 2356 opens or closes follows the converter's flags and the cell
// before it, so those cells run their rules (BracketRules.cpp), except for
// the pairs 36 + 2 and 36 36. The arrow, long vowel, leader and star cells
// read as plain kana unless a cell of their forms follows.
//
// Follow modes of this family, by the cell they land on:
//   kFollowA  -  the second 36 of 36 36 (～～, or a dash before 1 or 2)
//             3  the second 25 of 25 25 (a dash, or an arrow before O)
//             1  a leader after the first two
//   kFollowC  3  a dash after the first two
//   kFollowD  3  25 after 246 (an arrow before a second 25)
//   kFollowE  3  the second 25 of 246 25 25 (→ before O)
#pragma once

#include <optional>

#include "convlib/CellSteps.h"
#include "convlib/TavoTbl.h"

namespace tavolib {

// The cells whose moves, in some mode of this family, depend on the cell
// after them.
inline constexpr std::string_view kBracketCells = "-[319";

// Running text, cell c before `next`; nullopt for cells without a rule here.
consteval std::optional<Move> BracketMove(unsigned char c, unsigned char next) {
  switch (c) {
    case '-':
      if (next == '2') return Write("\xF0\x4D\x81\x78", Mode::kSkip);  // {F04D}』
      if (next == '-') return Write({}, Mode::kFollowA);
      return RunRule(Rule::kKagi);
    case '7': return RunRule(Rule::kKakko);
    case '[':
      if (next == '3') return Write({}, Mode::kFollowD);
      return Write(KanaTable['[']);  // こ
    case '3':
      if (next == '3') return Write({}, Mode::kFollowA);
      return Write("\x81\x5B");  // ー
    case '1':
      if (next == '1') return Write("\x81\x64", Mode::kFollowA);  // ‥, and ‥ for the second
      return Write(KanaTable['1']);  // っ
    case '9':
      if (next == '9') return Write("\xF0\x59\x81\x99", Mode::kSkip);  // {F059}☆
      return Write(KanaTable['9']);  // を
    default: return std::nullopt;
  }
}

// Cell c before `next` in a follow mode of this family (the table above);
// nullopt for the others.
consteval std::optional<Move> BracketModeMove(Mode mode, unsigned char c, unsigned char next) {
  if (mode == Mode::kFollowA && c == '-') {
    if (next == '1') return Write("\xF0\x4D\xF0\x4D\xF0\x51", Mode::kSkip);  // {F04D}{F04D}{F051}
    if (next == '2') return Write("\xF0\x4D\xF0\x4D\xF0\x52", Mode::kSkip);  // {F04D}{F04D}{F052}
    return Write("\x81\x60\x81\x60");                                          // ～～
  }
  if (mode == Mode::kFollowA && c == '3') {
    if (next == 'O') return Write("\xF0\x53\xF0\x53\x81\xA8", Mode::kSkip);  // {F053}{F053}→
    return Write("\x81\x7C\x81\x7C", next == '3' ? Mode::kFollowC : Mode::kText);  // －－
  }
  if (mode == Mode::kFollowA && c == '1') {
    return Write("\x81\x64", next == '1' ? Mode::kFollowA : Mode::kText);  // ‥
  }
  if (mode == Mode::kFollowC && c == '3') {
    return Write("\x81\x7C", next == '3' ? Mode::kFollowC : Mode::kText);  // －
  }
  if (mode == Mode::kFollowD && c == '3') {
    if (next == '3') return Write("\x81\xA9\xF0\x53\xF0\x53", Mode::kFollowE);  // ←{F053}{F053}
    return Write("\x82\xB1\x81\x5B");  // こー: no arrow
  }
  if (mode == Mode::kFollowE && c == '3') {
    if (next == 'O') return Write("\x81\xA8", Mode::kSkip);  // →
    return Write({});
  }
  return std::nullopt;
}

}  // namespace tavolib
