// Dots 36 and dots 2356 as brackets, which open or close by the converter's
// flags and the cell before them (BracketSteps.h has the moves of the other
// bracket and symbol forms).
#include "convlib/KVCnv.h"

namespace tavolib {
namespace {

// 。？！、 before a bracket cell: the bracket closes whatever the flags say.
bool IsSentenceEnd(unsigned char b) { return b == '4' || b == '5' || b == '6' || b == ';'; }

}  // namespace

// Dots 36 before anything but dots 2 and 36.
Mode TTavoCnv::CnvKagi(S s, D& d) {
  const unsigned char p = GetCharAt(s, Pos);
  if (p == '1') {
    if (KagiOpen) {
      d.append("\x81\x76\x82\xC1");  // 」っ
      KagiOpen = false;
    } else {
      d.append("\xF0\x4D\xF0\x51");  // {F04D}{F051}
    }
    ++Pos;
    return Mode::kText;
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
  return Mode::kText;
}

Mode TTavoCnv::CnvKakko(S s, D& d) {
  // Among the first two cells of a line the cell always opens.
  if (Pos <= 3) {
    d.append("\x81\x69");  // （
    KakkoOpen = true;
    return Mode::kText;
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
    return Mode::kText;
  }
  if (p == '2') {
    d.append("\xF0\x57\x81\x74");  // {F057}》
    ++Pos;
    return Mode::kText;
  }
  if (p == '7') {
    d.append("\xF0\x57\xF0\x57");  // {F057}{F057}
    ++Pos;
    return Mode::kText;
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
  return Mode::kText;
}

}  // namespace tavolib
