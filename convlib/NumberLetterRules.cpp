// Rules that read runs of cells: the number sign (digits, separators and
// arithmetic signs), the dots-56 foreign-letter word or symbol, and the
// dots-236 foreign-language quotation that runs to its closing cell. The
// number sign and the quotation always run their rules; dots 56 reads its
// symbols from a step row and runs its rule for a word or a dash.
#include "convlib/CellSteps.h"
#include "convlib/KVCnv.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace {

bool IsDigitCell(unsigned char c) { return c >= 'A' && c <= 'J'; }
bool IsLetterCell(unsigned char c) { return c >= 'A' && c <= 'Z'; }

// Capital state of a foreign word: 0 small letters, 1 the next letter only is
// a capital, 2 capitals until the word ends. Each dots-6 cell raises it.
int RaiseCapitals(int state) { return state < 2 ? state + 1 : 2; }

// Appends the letter in the case the state asks for; a one-letter capital
// state falls back to small letters afterwards.
void AppendLetter(unsigned char c, int& state, Output& d) {
  d.append(state == 0 ? AlphaLowerTable[c - 'A'] : AlphaUpperTable[c - 'A']);
  if (state == 1) state = 0;
}

constexpr std::string_view kNumberSign = "\xF0\x43";  // {F043}
constexpr std::string_view kComma = "\x81\x41";       // 、

// Dots 56 + a cell: a symbol.
constexpr CellTable AlphabetMarkTable = MakeTable({
    {'%', "\xF0\x5B\x81\x94"},  // {F05B}＃
    {'&', "\xF0\x5B\x81\x95"},  // {F05B}＆
    {'*', "\xF0\x5B\x81\x96"},  // {F05B}＊
    {'\'', "\x81\x83\xF0\x47"},  // ＜{F047}
    {'2', "\x81\xA6\xF0\x52"},  // ※{F052}
    {'7', "\x81\x73\xF0\x57"},  // 《{F057}
});

}  // namespace

// Before any other cell, and at the end of the line, dots 56 is 、. Before
// dots 6 or a letter it starts a foreign word, before 36 a dash.
constinit const StepRow AlphabetSteps =
    PairRow({&AlphabetMarkTable}, kComma, ",-ABCDEFGHIJKLMNOPQRSTUVWXYZ");

bool TTavoCnv::CnvNumber(S s, D& d, uint16_t) {
  d.append(kNumberSign);
  bool digitsNext = false;
  if (GetCharAt(s, Pos) == '\'') {
    d.append("\x81\x66");  // ’
    ++Pos;
    while (!digitsNext && GetCharAt(s, Pos) == '#') {
      digitsNext = IsDigitCell(GetCharAt(s, Pos + 1));
      d.append(digitsNext ? kComma : kNumberSign);
      ++Pos;
    }
  } else {
    while (GetCharAt(s, Pos) == '#') {
      d.append(kNumberSign);
      ++Pos;
    }
  }
  for (;;) {
    const unsigned char x = GetCharAt(s, Pos);
    const unsigned char y = GetCharAt(s, Pos + 1);
    if (x == 0) return true;
    if (IsDigitCell(x)) {
      d.append(NumberTable[x]);
      ++Pos;
      continue;
    }
    switch (x) {
      case '#':
        d.append(IsDigitCell(y) ? kComma : kNumberSign);
        ++Pos;
        continue;
      case '3': {
        const unsigned char z = GetCharAt(s, Pos + 2);
        if (y == '3' && (IsDigitCell(z) || z == '#')) {
          d.append("\x81\x81\x81\x81");  // ＝＝
          Pos += 2;
          return true;
        }
        d.append("\x81\x46");  // ：
        ++Pos;
        continue;
      }
      case '\'':
        // A digit group separator only when at least three digits follow
        // anywhere later on the line; otherwise the cell reads as わ.
        d.append(DigitCellsAfter(s, Pos) >= 3 ? "\x81\x43" : "\x82\xED");  // ， or わ
        ++Pos;
        continue;
      case '5':
      case '9':
      case '*':
        // An arithmetic sign; the number sign after it is left to the main
        // loop, which starts a new number with it.
        if (y == '#') {
          d.append(x == '5' ? "\x81\x7B" : x == '9' ? "\x81\x7C" : "\x81\x7E");  // ＋ － ×
          ++Pos;
        }
        return true;
      case '/':
        if (y == '/' && GetCharAt(s, Pos + 2) == '#') {
          d.append("\x81\x80\x81\x80");  // ÷÷
          Pos += 2;
        }
        return true;
      default:
        return true;  // the cell ends the number and is not consumed
    }
  }
}

// Dots 56 before dots 6 or a letter: a foreign word; before 36: a dash.
bool TTavoCnv::CnvAlphabet(S s, D& d, uint16_t) {
  const unsigned char p = GetCharAt(s, Pos);
  if (p == '-') {
    if (GetCharAt(s, Pos + 1) == '-') {
      d.append("\xF0\x5B\xF0\x4D\xF0\x4D");  // {F05B}{F04D}{F04D}
      ++Pos;
    } else {
      d.append("\x81\x77\xF0\x4D");  // 『{F04D}
    }
    ++Pos;
    return true;
  }
  d.append("\xF0\x5B");  // {F05B}
  if (p == 'P' && !IsLetterCell(GetCharAt(s, Pos + 1))) {
    d.append("\x81\x93");  // ％
    ++Pos;
    return true;
  }
  int state = 0;
  if (p == ',') {
    d.append("\xF0\x4C");  // {F04C}
    ++Pos;
    state = 1;
    if (GetCharAt(s, Pos) == ',') {
      d.append("\xF0\x4C");
      ++Pos;
      state = 2;
    }
  }
  for (unsigned char c = GetCharAt(s, Pos); c != 0; c = GetCharAt(s, Pos)) {
    if (IsLetterCell(c)) {
      AppendLetter(c, state, d);
    } else if (c == ',') {
      state = RaiseCapitals(state);
      d.append("\xF0\x4C");  // {F04C}
    } else {
      break;
    }
    ++Pos;
  }
  return true;
}

bool TTavoCnv::CnvForeignQuote(S s, D& d, uint16_t) {
  d.append("\xF0\x58");  // {F058}
  int state = 0;
  for (unsigned char c = GetCharAt(s, Pos); c != 0; c = GetCharAt(s, Pos)) {
    ++Pos;
    if (c == ',') {
      d.append("\xF0\x4C");  // {F04C}
      state = RaiseCapitals(state);
    } else if (IsLetterCell(c)) {
      AppendLetter(c, state, d);
    } else if (c == '0') {
      d.append("\xF0\x50");  // {F050}: the closing cell
      return true;
    } else {
      d.append(KanaTable[c]);
    }
  }
  return true;  // no closing cell: the quotation ran to the end of the line
}

}  // namespace tavolib
