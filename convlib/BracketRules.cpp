// Cells that double as brackets, dashes, arrows and marks. Whether a bracket
// cell opens or closes follows the converter's flags and the cell before it,
// so - and 7 always run their rules. The arrow, long vowel, leader and star
// cells read as plain kana unless the cell after them is their own (or 3 for
// the arrow); only those pairs, which may go on into runs, run their rules.
#include "convlib/CellSteps.h"
#include "convlib/KVCnv.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace {

// 。？！、 before a bracket cell: the bracket closes whatever the flags say.
bool IsSentenceEnd(unsigned char b) { return b == '4' || b == '5' || b == '6' || b == ';'; }

constexpr CellTable StarTable = MakeTable({
    {'9', "\xF0\x59\x81\x99"},  // {F059}☆
});

}  // namespace

// Alone, and before other cells than those their rules read, the arrow,
// leader and star cells are their plain kana; the long vowel cell is ー.
constinit const StepRow ArrowSteps = PairRow({}, KanaTable['['], "3");
constinit const StepRow LongVowelSteps = PairRow({}, "\x81\x5B", "3");  // ー
constinit const StepRow LeaderSteps = PairRow({}, KanaTable['1'], "1");
constinit const StepRow StarSteps = PairRow({&StarTable}, KanaTable['9']);

bool TTavoCnv::CnvKagi(S s, D& d, uint16_t) {
  const unsigned char p = GetCharAt(s, Pos);
  if (p == '1') {
    if (KagiOpen) {
      d.append("\x81\x76\x82\xC1");  // 」っ
      KagiOpen = false;
    } else {
      d.append("\xF0\x4D\xF0\x51");  // {F04D}{F051}
    }
    ++Pos;
    return true;
  }
  if (p == '2') {
    d.append("\xF0\x4D\x81\x78");  // {F04D}』
    ++Pos;
    return true;
  }
  if (p == '-') {
    const unsigned char n = GetCharAt(s, Pos + 1);
    if (n == '1') {
      d.append("\xF0\x4D\xF0\x4D\xF0\x51");  // {F04D}{F04D}{F051}
      Pos += 2;
    } else if (n == '2') {
      d.append("\xF0\x4D\xF0\x4D\xF0\x52");  // {F04D}{F04D}{F052}
      Pos += 2;
    } else {
      d.append("\x81\x60\x81\x60");  // ～～
      ++Pos;
    }
    return true;
  }
  const unsigned char b = GetCharAt(s, Pos - 2);
  if (Pos == 2 || b == ' ') {
    d.append("\x81\x75");  // 「
    KagiOpen = true;
  } else if (IsSentenceEnd(b)) {
    d.append("\x81\x76");  // 」
    KagiOpen = false;
  } else {
    d.append(KagiOpen ? "\x81\x76" : "\x81\x75");  // 」 or 「
    KagiOpen = !KagiOpen;
  }
  return true;
}

bool TTavoCnv::CnvKakko(S s, D& d, uint16_t) {
  // Among the first two cells of a line the cell always opens.
  if (Pos <= 3) {
    d.append("\x81\x69");  // （
    KakkoOpen = true;
    return true;
  }
  const unsigned char p = GetCharAt(s, Pos);
  if (p == '1') {
    if (KakkoOpen) {
      d.append("\x81\x6A\x82\xC1");  // ）っ
      KakkoOpen = false;
    } else if (BracketOpen) {
      d.append("\xF0\x57\x81\x6C");  // {F057}〕 (the 〔 stays open)
    } else {
      d.append("\x81\x69\x82\xC1");  // （っ
      KakkoOpen = true;
    }
    ++Pos;
    return true;
  }
  if (p == '2') {
    d.append("\xF0\x57\x81\x74");  // {F057}》
    ++Pos;
    return true;
  }
  if (p == '7') {
    d.append("\xF0\x57\xF0\x57");  // {F057}{F057}
    ++Pos;
    return true;
  }
  const unsigned char b = GetCharAt(s, Pos - 2);
  if (b == ' ') {
    d.append("\x81\x69");  // （
    KakkoOpen = true;
  } else if (IsSentenceEnd(b)) {
    d.append("\x81\x6A");  // ）
    KakkoOpen = false;
  } else {
    d.append(KakkoOpen ? "\x81\x6A" : "\x81\x69");  // ） or （
    KakkoOpen = !KakkoOpen;
  }
  return true;
}

// Dots 246 + 25: an arrow when a second 25 follows; else the plain こ.
bool TTavoCnv::CnvArrow(S s, D& d, uint16_t) {
  if (GetCharAt(s, Pos + 1) != '3') return false;  // こ
  if (GetCharAt(s, Pos + 2) == 'O') {
    d.append("\x81\xA9\xF0\x53\xF0\x53\x81\xA8");  // ←{F053}{F053}→
    Pos += 3;
  } else {
    d.append("\x81\xA9\xF0\x53\xF0\x53");  // ←{F053}{F053}
    Pos += 2;
  }
  return true;
}

// Dots 25 + 25: a dash that runs as long as the cells do, or an arrow.
bool TTavoCnv::CnvLongVowel(S s, D& d, uint16_t) {
  if (GetCharAt(s, Pos + 1) == 'O') {
    d.append("\xF0\x53\xF0\x53\x81\xA8");  // {F053}{F053}→
    Pos += 2;
    return true;
  }
  d.append("\x81\x7C\x81\x7C");  // －－
  ++Pos;
  while (GetCharAt(s, Pos) == '3') {
    d.append("\x81\x7C");  // －
    ++Pos;
  }
  return true;
}

// Dot 2 + dot 2: leaders as long as the cells run.
bool TTavoCnv::CnvLeader(S s, D& d, uint16_t) {
  d.append("\x81\x64\x81\x64");  // ‥‥
  ++Pos;
  while (GetCharAt(s, Pos) == '1') {
    d.append("\x81\x64");  // ‥
    ++Pos;
  }
  return true;
}

}  // namespace tavolib
