// Cells that start runs: the number sign (digits, separators and arithmetic
// signs), dots 56 (a foreign-letter word or a symbol) and dots 236 (a
// foreign-language quotation that runs to its closing cell). A number, a
// word and a quotation are modes of the loop; the lead-in of a number and
// the pairs decided by their second cell go on in follow modes. Only the
// apostrophe in a number looks further, to the end of the line, and runs its
// rule (NumberLetterRules.cpp).
//
// Follow modes of this family, by the cell they land on:
//   kFollowA  #  a number sign right after the number sign
//             '  the apostrophe right after the number sign
//             /  the second 34 of 34 34 in a number (÷÷ before a number sign)
//             P  P after 56 (％, or the first letter of a word)
//   kFollowB  #  a number sign after the number sign and an apostrophe
//             3  the second 25 of 25 25 in a number (＝＝ before a digit or sign)
//             -  36 after 56 (a dash, one or two cells long)
#pragma once

#include <optional>

#include "convlib/CellSteps.h"
#include "convlib/TavoTbl.h"

namespace tavolib {
namespace number_letter {

inline constexpr std::string_view kNumberSign = "\xF0\x43";  // {F043}
inline constexpr std::string_view kComma = "\x81\x41";       // 、
inline constexpr std::string_view kCapital = "\xF0\x4C";     // {F04C}

// Dots 56 + a cell: a symbol.
inline constexpr CellTable AlphabetMarkTable = MakeTable({
    {'%', "\xF0\x5B\x81\x94"},  // {F05B}＃
    {'&', "\xF0\x5B\x81\x95"},  // {F05B}＆
    {'*', "\xF0\x5B\x81\x96"},  // {F05B}＊
    {'\'', "\x81\x83\xF0\x47"},  // ＜{F047}
    {'2', "\x81\xA6\xF0\x52"},  // ※{F052}
    {'7', "\x81\x73\xF0\x57"},  // 《{F057}
});

// A number ends at a + - × sign before a number sign, which starts the next.
inline constexpr CellTable NumberSignTable = MakeTable({
    {'5', "\x81\x7B"},  // ＋
    {'9', "\x81\x7C"},  // －
    {'*', "\x81\x7E"},  // ×
});

// The letter in the case the mode asks for.
consteval std::string_view Letter(unsigned char c, bool capital) {
  return capital ? AlphaUpperTable[c - 'A'] : AlphaLowerTable[c - 'A'];
}

// The modes of a word or quotation: small letters, one capital, capitals.
// Each dots-6 cell raises the mode; a one-capital mode falls back after the
// letter.
consteval Mode Raised(Mode small, Mode mode) {
  return mode == small ? Mode(static_cast<uint8_t>(small) + 1) : Mode(static_cast<uint8_t>(small) + 2);
}
consteval Mode AfterLetter(Mode small, Mode mode) {
  return mode == Mode(static_cast<uint8_t>(small) + 1) ? small : mode;
}

consteval std::optional<Move> NumberMove(unsigned char c, unsigned char next) {
  if (IsDigitCell(c)) return Write(NumberTable[c], Mode::kNumber);
  switch (c) {
    case '#': return Write(IsDigitCell(next) ? kComma : kNumberSign, Mode::kNumber);
    case '3':
      if (next == '3') return Write({}, Mode::kFollowB);  // perhaps ＝＝
      return Write("\x81\x46", Mode::kNumber);  // ：
    case '\'': return RunRule(Rule::kNumberApostrophe);
    case '5':
    case '9':
    case '*':
      if (next == '#') return Write(NumberSignTable[c]);
      return std::nullopt;  // the number ends; the cell is read as text
    case '/':
      if (next == '/') return Write({}, Mode::kFollowA);  // perhaps ÷÷
      return std::nullopt;
    default: return std::nullopt;
  }
}

}  // namespace number_letter

// The cells whose moves, in some mode of this family, depend on the cell
// after them.
inline constexpr std::string_view kNumberLetterCells = "#;359*/P'-";

// Running text, cell c before `next`; nullopt for cells without a rule here.
consteval std::optional<Move> NumberLetterMove(unsigned char c, unsigned char next) {
  using namespace number_letter;
  switch (c) {
    case '#':
      if (next == '\'') return Write("\xF0\x43\x81\x66", Mode::kFollowA);  // {F043}’
      return Write(kNumberSign, next == '#' ? Mode::kFollowA : Mode::kNumber);
    case ';':
      if (next == 'P') return Write("\xF0\x5B", Mode::kFollowA);  // {F05B}, then ％ or a word
      if (next == '-') return Write({}, Mode::kFollowB);            // a dash, one or two cells long
      if (next == ',' || IsLetterCell(next)) return Write("\xF0\x5B", Mode::kWord);  // {F05B}
      return PairMove({&AlphabetMarkTable}, kComma, next);  // a symbol, or 、
    case '8': return Write("\xF0\x58", Mode::kQuote);  // {F058}
    default: return std::nullopt;
  }
}

// Cell c before `next` in a number, word or quotation, or in a follow mode
// of this family (the table above); nullopt for the other follow modes, and
// where a number or word has ended and c reads as running text.
consteval std::optional<Move> NumberLetterModeMove(Mode mode, unsigned char c, unsigned char next) {
  using namespace number_letter;
  switch (mode) {
    case Mode::kFollowA:
      if (c == '#') return Write(kNumberSign, next == '#' ? Mode::kFollowA : Mode::kNumber);
      if (c == '\'') return Write({}, next == '#' ? Mode::kFollowB : Mode::kNumber);  // ’ written
      if (c == '/') {
        if (next == '#') return Write("\x81\x80\x81\x80");  // ÷÷, which ends the number
        return Write("\x82\xE2\x82\xE2");  // やや: the number ended before them
      }
      if (c == 'P') {
        if (IsLetterCell(next)) return Write(Letter('P', false), Mode::kWord);
        return Write("\x81\x93");  // ％
      }
      return std::nullopt;
    case Mode::kFollowB:
      if (c == '#') {
        if (IsDigitCell(next)) return Write(kComma, Mode::kNumber);
        return Write(kNumberSign, next == '#' ? Mode::kFollowB : Mode::kNumber);
      }
      if (c == '3') {
        if (IsDigitCell(next) || next == '#') return Write("\x81\x81\x81\x81");  // ＝＝, which ends it
        if (next == '3') return Write("\x81\x46", Mode::kFollowB);  // ：, and the second 25 begins a pair
        return Write("\x81\x46\x81\x46", Mode::kNumber);            // ：：
      }
      if (c == '-') {
        if (next == '-') return Write("\xF0\x5B\xF0\x4D\xF0\x4D", Mode::kSkip);  // {F05B}{F04D}{F04D}
        return Write("\x81\x77\xF0\x4D");  // 『{F04D}
      }
      return std::nullopt;
    case Mode::kNumber: return NumberMove(c, next);
    case Mode::kWord:
    case Mode::kWordCapital:
    case Mode::kWordCapitals:
      if (IsLetterCell(c)) return Write(Letter(c, mode != Mode::kWord), AfterLetter(Mode::kWord, mode));
      if (c == ',') return Write(kCapital, Raised(Mode::kWord, mode));
      return std::nullopt;
    case Mode::kQuote:
    case Mode::kQuoteCapital:
    case Mode::kQuoteCapitals:
      if (IsLetterCell(c)) return Write(Letter(c, mode != Mode::kQuote), AfterLetter(Mode::kQuote, mode));
      if (c == ',') return Write(kCapital, Raised(Mode::kQuote, mode));
      if (c == '0') return Write("\xF0\x50");  // {F050}, the closing cell
      return Write(KanaTable[c], mode);        // nothing for # - . 7 8 ^ _
    default: return std::nullopt;
  }
}

}  // namespace tavolib
