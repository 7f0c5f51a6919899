// Byte-level Shift-JIS (CP932) character routines and the half-width ->
// full-width tables behind them.
//
// Every routine is a pure function over constant tables: thread-safe, no
// allocation beyond the returned string. Texts are CP932 bytes; results are
// CP932 bytes. The string_views handed out point into static storage and live
// for the whole program.
//
// Bytes that a table has no entry for give *nothing* (the empty text): a
// control byte, 0x7F, 0x80, 0xA0 or 0xFD-0xFF handed to HankakuToZenkaku is
// dropped, and a non-kana byte before a voicing mark leaves only the mark.
// HankakuToZenkaku only prepares a word for highlighting, so dropping what
// cannot be shown full-width is safer than passing through a byte that would
// break the character walk of the painted text.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/text/Cp932Lead.h"

namespace tavo {

// A half-width katakana byte and the (semi-)voiced hiragana it stands for
// when a voicing mark follows it.
struct KanaPair {
  unsigned char Kana;
  std::string_view Hiragana;
};

// Index b - 0x20 for b in 0x20..0x7E. 0x20 maps to "□" (the segmentation
// space of the dictionaries), not to the full-width blank.
extern const std::array<std::string_view, 95> AnkZenkakuTable;
// Index b - 0xA0 for b in 0xA0..0xDF; 0xA0 maps to the empty text.
extern const std::array<std::string_view, 64> KanaHiraganaTable;
// ｶ..ﾄ and ﾊ..ﾎ with the voiced mark (0xDE).
extern const std::array<KanaPair, 20> HankakuDakuonTable;
// ﾊ..ﾎ with the semi-voiced mark (0xDF).
extern const std::array<KanaPair, 5> HankakuHandakuonTable;

// 0xA1..0xDF.
bool IsHankakuKana(unsigned char b);
// 0x81..0x9F and 0xE0..0xFC: the byte begins a double-byte character. The
// program's name for the one lead-byte test of platform/text/Cp932Lead.h.
constexpr bool IsSJISLeadByte(unsigned char b) { return IsLeadByte(b); }

// AnkZenkakuTable entry of b; empty outside 0x20..0x7E.
std::string_view AnkToZenkaku(unsigned char b);
// KanaHiraganaTable entry of b; empty outside 0xA0..0xDF.
std::string_view KanaToHiragana(unsigned char b);
// The voiced hiragana of the kana byte b (the byte before a 0xDE); a byte
// with no voiced form gives KanaToHiragana(b) followed by "゛".
std::string DakuonToHiragana(unsigned char b);
// As DakuonToHiragana for the semi-voiced mark (0xDF) and "゜".
std::string HandakuonToHiragana(unsigned char b);

// Half-width ASCII to full-width characters and half-width katakana (with
// their voicing marks) to hiragana; double-byte characters pass unchanged, a
// lead byte that ends the text is kept alone.
std::string HankakuToZenkaku(std::string_view s);

// Every half-width space and every full-width space ("　", 81 40) becomes "□"
// (81 A0). A full-width space is recognised only where a character begins, so
// a trail byte 0x81 followed by '@' (0x40) is left alone. 0x20 is never a
// trail byte, so every half-width space is replaced, even after a lead byte
// that lacks its trail.
std::string SpaceToSquare(std::string_view s);

}  // namespace tavo
