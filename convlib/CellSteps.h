// The converter's step machine: what the main loop writes for a cell,
// looked up without a branch per cell.
//
// The loop reads every cell once, in order, in a mode: running text, a
// number, a foreign word or quotation, or a follow mode that carries on a
// form the cells before began. What a cell writes, and the mode for the cell
// after it, depend on the mode, the cell and the cell after it: that is one
// move. A move that reads the cell after it as well sets the mode kSkip, in
// which that cell writes nothing. A mode stays set from cell to cell, so
// staying in a number costs no branch; a cell that ends a number or a word
// reads as it would in running text. What needs more than a move - the
// bracket flags, the cell before, the cells to the end of the line - is left
// to a rule's own code (Rule).
//
// Each rule family gives its moves as compile-time functions beside its
// rules (KanaPrefixSteps.h, BracketSteps.h, NumberLetterSteps.h): those of
// its prefix cells in running text, and those of its modes, where a follow
// mode on one of its cells is its own. KVCnv.cpp builds the loop's tables
// from them at compile time, and refuses a mode and cell that two families
// claim.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "convlib/TavoTbl.h"

namespace tavolib {

enum class Mode : uint8_t {
  kText,     // running text
  kSkip,     // the cell was read with the one before; then running text
  kFollowA,  // the cell goes on with a form that the cells before began: a
  kFollowB,  //   pair decided by its second cell, a lead-in or a run. Which
  kFollowC,  //   form, the cell itself tells (each family's ModeMove); as
  kFollowD,  //   several forms go on with the same cell, there are five.
  kFollowE,  //   A move sets one only when the next cell goes on with it.
  kNumber,   // digits, separators and signs
  kWord,            // a foreign word: small letters,
  kWordCapital,     //   the next letter a capital,
  kWordCapitals,    //   capitals to the end of the word
  kQuote,           // a foreign quotation, likewise
  kQuoteCapital,
  kQuoteCapitals,
  kCount
};
inline constexpr size_t kModeCount = static_cast<size_t>(Mode::kCount);

// The rules whose code runs where a move cannot say what a cell gives. Each
// runs as its prefix cell's rule would, with Pos at the cell after the one
// that ran it, and returns the mode to go on in.
enum class Rule : uint8_t {
  kNone,
  kBracketOpen,       // dots 5 + 2356: 〔, and the flag that a later 2356 1 reads
  kKagi,              // dots 36: 「 or 」 by the flag and the cell before
  kKakko,             // dots 2356: （ or ） likewise, and among the first two cells
  kNumberApostrophe,  // ， or わ by the digit cells to the end of the line
};

// What a cell writes in a mode, and the mode for the cell after it.
struct Move {
  std::string_view text;
  Mode next = Mode::kText;
  Rule rule = Rule::kNone;
};

consteval Move Write(std::string_view text, Mode next = Mode::kText) { return {text, next}; }
consteval Move RunRule(Rule rule) { return {{}, Mode::kText, rule}; }

// A prefix cell before `next`: the first of `tables` with an entry for next
// gives the text, and the pair is read; without one the prefix writes
// `alone` and the loop goes on with next. The end of the line reads as NUL,
// which has no entry.
consteval Move PairMove(std::initializer_list<const CellTable*> tables, std::string_view alone,
                        unsigned char next) {
  for (const CellTable* table : tables) {
    if (!(*table)[next].empty()) return Write((*table)[next], Mode::kSkip);
  }
  return Write(alone);
}

inline constexpr bool IsDigitCell(unsigned char c) { return c >= 'A' && c <= 'J'; }
inline constexpr bool IsLetterCell(unsigned char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace tavolib
