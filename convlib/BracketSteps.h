// Cells that double as brackets, dashes, arrows and marks. Whether dots 36
// or dots 2356 opens or closes follows the converter's flags and the cell
// before it, so those cells run their rules (BracketRules.cpp), except for
// the pairs 36 36 and 36 + 2. The arrow runs its rule before a 25; the long
// vowel, leader and star cells read as plain kana unless their own cell
// follows, and then go on as runs in modes of their own.
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
      if (next == '-') return Write({}, Mode::kFollowA);  // the second 36 decides
      return RunRule(Rule::kKagi);
    case '7': return RunRule(Rule::kKakko);
    case '[':
      if (next == '3') return RunRule(Rule::kArrow);
      return Write(KanaTable['[']);  // こ
    case '3':
      // 25 25 is a dash, or with O after it an arrow: the second 25 decides.
      if (next == '3') return Write({}, Mode::kFollowA);
      return Write("\x81\x5B");  // ー
    case '1':
      if (next == '1') return Write("\x81\x64", Mode::kLeaders);  // ‥, and ‥ for the second
      return Write(KanaTable['1']);  // っ
    case '9':
      if (next == '9') return Write("\xF0\x59\x81\x99", Mode::kSkip);  // {F059}☆
      return Write(KanaTable['9']);  // を
    default: return std::nullopt;
  }
}

// Cell c before `next` in a mode of this family: the second 36 of 36 36
// and the second 25 of 25 25 (in kFollowA), and runs of leaders and dashes;
// nullopt elsewhere, and where a run has ended and c reads as running text.
consteval std::optional<Move> BracketModeMove(Mode mode, unsigned char c, unsigned char next) {
  switch (mode) {
    case Mode::kFollowA:
      if (c == '-') {
        if (next == '1') return Write("\xF0\x4D\xF0\x4D\xF0\x51", Mode::kSkip);  // {F04D}{F04D}{F051}
        if (next == '2') return Write("\xF0\x4D\xF0\x4D\xF0\x52", Mode::kSkip);  // {F04D}{F04D}{F052}
        return Write("\x81\x60\x81\x60");  // ～～
      }
      if (c == '3') {
        if (next == 'O') return Write("\xF0\x53\xF0\x53\x81\xA8", Mode::kSkip);  // {F053}{F053}→
        return Write("\x81\x7C\x81\x7C", Mode::kDashes);                         // －－
      }
      return std::nullopt;
    case Mode::kLeaders:
      if (c == '1') return Write("\x81\x64", Mode::kLeaders);  // ‥
      return std::nullopt;
    case Mode::kDashes:
      if (c == '3') return Write("\x81\x7C", Mode::kDashes);  // －
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace tavolib
