// Step tables: what the converter's main loop writes for a cell, looked up
// without a branch per cell.
//
// A cell without a rule reads the same wherever it stands; a kana prefix and
// most other prefix cells read from the cell after them alone. So each such
// cell has a row of 256 steps indexed by the cell after it (the plain cells
// share one row, indexed by the cell itself): the text to write and whether
// the next cell was read with it. What needs more than that pair - the
// bracket flags, the cell before, cells further on, runs of cells - is left
// to the rule's own code, marked by a step that reads no cell.
//
// The rows are constant data built at compile time from the reading tables
// (TavoTbl.h); each rule family defines its own rows beside its rules.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "convlib/TavoTbl.h"

namespace tavolib {

// The loop copies all of text and keeps `bytes` of it, so a step is one
// aligned eight-byte load.
struct alignas(8) Step {
  static constexpr size_t kMaxBytes = 4;
  char text[kMaxBytes] = {};
  uint8_t bytes = 0;
  // Cells the step reads: 1 the cell alone, 2 the cell and the one after
  // it; 0 leaves the cell to its rule's code.
  uint8_t cells = 0;
};

using StepRow = std::array<Step, 256>;

// The step that writes `text` and reads `cells` cells.
consteval Step MakeStep(std::string_view text, uint8_t cells) {
  if (text.size() > Step::kMaxBytes) throw "a step writes at most four bytes";
  Step step;
  for (size_t i = 0; i < text.size(); ++i) step.text[i] = text[i];
  step.bytes = static_cast<uint8_t>(text.size());
  step.cells = cells;
  return step;
}

// The row of a prefix cell that reads the cell after it: the first of
// `tables` that has an entry for that cell gives the text, and the pair is
// read; without an entry the prefix writes `alone` and the next cell is left
// to the loop. The cells in `ruleCells` are left to the rule's code. The end
// of the line reads as NUL, which has no entry.
consteval StepRow PairRow(std::initializer_list<const CellTable*> tables, std::string_view alone,
                          std::string_view ruleCells = {}) {
  StepRow row;
  for (size_t next = 0; next < row.size(); ++next) {
    row[next] = MakeStep(alone, 1);
    for (const CellTable* table : tables) {
      if (!(*table)[next].empty()) {
        row[next] = MakeStep((*table)[next], 2);
        break;
      }
    }
  }
  for (unsigned char c : ruleCells) row[c] = Step{};
  return row;
}

// Rows of the kana prefix rules (KanaPrefixRules.cpp). Dots 5 and dots 6
// have one row for each KeepCells mode.
extern const StepRow YoonSteps;                // @  dots 4
extern const StepRow YoonDakuonSteps;          // ^  dots 45
extern const StepRow YoonHandakuonSteps;       // .  dots 46
extern const StepRow SpecialDakuonSteps;       // 4  dots 256
extern const StepRow SpecialSteps;             // 5  dots 26
extern const StepRow SpecialYoonDakuonSteps;   // _  dots 456
extern const StepRow DakuonSteps;              // "  dots 5, composed
extern const StepRow DakuonPrefixedSteps;      // "  dots 5, cells kept
extern const StepRow HandakuonSteps;           // ,  dots 6, composed
extern const StepRow HandakuonPrefixedSteps;   // ,  dots 6, cells kept
// Rows of the symbol rules (BracketRules.cpp); - and 7 have none.
extern const StepRow ArrowSteps;       // [  dots 246
extern const StepRow LongVowelSteps;   // 3  dots 25
extern const StepRow LeaderSteps;      // 1  dots 2
extern const StepRow StarSteps;        // 9  dots 35
// The row of the dots-56 rule (NumberLetterRules.cpp); # and 8 have none.
extern const StepRow AlphabetSteps;    // ;  dots 56

}  // namespace tavolib
