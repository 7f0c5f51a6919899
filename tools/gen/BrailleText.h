// Running braille text in NABCC cells, laid out as a braille editor lays out
// a document: lines of at most kCellsPerLine cells; words separated by one
// blank cell; sentences ending in "。" (cell '4'); a paragraph's first line
// indented by two blank cells and its later lines beginning with a word, so
// that phrases run on across line ends (the search joins such lines); now
// and then an empty line after a paragraph. No line ends in a blank cell.
//
// Words come from GenWords.h, numbers are the number sign, one to four
// digits and a counter. Every line converts to hiragana, "ー", "□", "。",
// full-width digits and the number sign's cell character only.
//
// Deterministic per seed. One object per thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/gen/GenRandom.h"

namespace tavo::gen {

class BrailleText {
 public:
  static constexpr size_t kCellsPerLine = 32;

  explicit BrailleText(uint64_t seed) : rng_(seed) {}

  // Replaces `line` with the next line (without a line end).
  void NextLine(std::string& line);

 private:
  // Fills pending_ with the next word or number, with its "。" when it ends
  // a sentence.
  void NextToken();

  Random rng_;
  std::string pending_;  // the token that did not fit on the last line
  bool hasPending_ = false;
  bool pendingEndsParagraph_ = false;
  bool paragraphStart_ = true;
  bool emptyLineDue_ = false;
  uint32_t sentenceTokensLeft_ = 0;
  uint32_t paragraphSentencesLeft_ = 0;
};

}  // namespace tavo::gen
