#include "tools/gen/BrailleText.h"

#include "tools/gen/GenWords.h"

namespace tavo::gen {

void BrailleText::NextToken() {
  if (paragraphSentencesLeft_ == 0) paragraphSentencesLeft_ = 2 + rng_.Below(4);
  if (sentenceTokensLeft_ == 0) sentenceTokensLeft_ = 3 + rng_.Below(5);
  pending_.clear();
  if (rng_.Below(16) == 0) {
    // Braille digits are the cells A-J after the number sign; no leading 0.
    static constexpr std::string_view kDigits = "JABCDEFGHI";
    pending_ += '#';
    pending_ += kDigits[1 + rng_.Below(9)];
    for (uint32_t n = rng_.Below(4); n > 0; --n) pending_ += kDigits[rng_.Below(10)];
    pending_ += rng_.Pick(BrailleCounters);
  } else {
    pending_ += rng_.Pick(BrailleWords);
  }
  pendingEndsParagraph_ = false;
  if (--sentenceTokensLeft_ == 0) {
    pending_ += '4';  // 。
    pendingEndsParagraph_ = --paragraphSentencesLeft_ == 0;
  }
  hasPending_ = true;
}

void BrailleText::NextLine(std::string& line) {
  line.clear();
  if (emptyLineDue_) {
    emptyLineDue_ = false;
    return;
  }
  if (paragraphStart_) {
    line = "  ";
    paragraphStart_ = false;
  }
  for (bool first = true;; first = false) {
    if (!hasPending_) NextToken();
    // Every token is far shorter than a line, so the first always fits.
    if (!first && line.size() + 1 + pending_.size() > kCellsPerLine) return;
    if (!first) line += ' ';
    line += pending_;
    hasPending_ = false;
    if (pendingEndsParagraph_) {
      paragraphStart_ = true;
      emptyLineDue_ = rng_.Below(8) == 0;
      return;
    }
  }
}

}  // namespace tavo::gen
