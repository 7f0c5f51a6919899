// The reading tables of the converter. Each value is the exact CP932 output
// text of a reading; {F0xx} in the comments is the cell character F0 xx that
// stands for one raw braille cell. An empty entry means "no reading here".
//
// The tables are constant expressions: the rules build their step tables
// (CellSteps.h) from them at compile time, they are valid from the moment the
// library is loaded, no code runs to build them, and nothing changes them.
// The comment after each entry shows the text its escape bytes spell.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace tavolib {

// Indexed by a byte: the cell itself for KanaTable, for every other table the
// cell that follows the prefix cell.
using CellTable = std::array<std::string_view, 256>;
// Indexed by letter - 'A'.
using LetterTable = std::array<std::string_view, 26>;

// A cell on its own gives one character or nothing: every KanaTable reading
// is exactly this many bytes or empty.
inline constexpr size_t kKanaReadingBytes = 2;

struct TableEntry {
  unsigned char key;
  std::string_view text;
};

// A table with the given entries; every other entry is empty.
consteval CellTable MakeTable(std::initializer_list<TableEntry> entries) {
  CellTable table;  // not table{}: GCC 12 then rejects reading the result in later constant expressions
  for (const TableEntry& e : entries) table[e.key] = e.text;
  return table;
}

// The converter writes plain cells two bytes at a time, so a reading of
// another length fails to compile.
consteval CellTable MakeKanaTable(std::initializer_list<TableEntry> entries) {
  for (const TableEntry& e : entries) {
    if (e.text.size() != kKanaReadingBytes) throw "a KanaTable reading is not one character";
  }
  return MakeTable(entries);
}

// The reading of a cell on its own: the fallback for every byte.
inline constexpr CellTable KanaTable = MakeKanaTable({
    {' ', "\x81\xA0"},  // □
    {'!', "\x82\xD9"},  // ほ
    {'"', "\x81\x45"},  // ・
    {'$', "\x82\xAF"},  // け
    {'%', "\x82\xAD"},  // く
    {'&', "\x82\xD6"},  // へ
    {'\'', "\x82\xED"},  // わ
    {'(', "\x82\xDD"},  // み
    {')', "\x82\xE0"},  // も
    {'*', "\x82\xA9"},  // か
    {'+', "\x82\xE4"},  // ゆ
    {'/', "\x82\xE2"},  // や
    {'0', "\x82\xF1"},  // ん
    {'1', "\x82\xC1"},  // っ
    {'2', "\xF0\x52"},  // {F052}
    {'3', "\x81\x5B"},  // ー
    {'4', "\x81\x42"},  // 。
    {'5', "\x81\x48"},  // ？
    {'6', "\x81\x49"},  // ！
    {'9', "\x82\xF0"},  // を
    {':', "\x82\xB3"},  // さ
    {';', "\x81\x41"},  // 、
    {'<', "\x82\xAB"},  // き
    {'=', "\x82\xDF"},  // め
    {'>', "\x82\xE6"},  // よ
    {'?', "\x82\xB7"},  // す
    {'@', "\xF0\x60"},  // {F060}
    {'A', "\x82\xA0"},  // あ
    {'B', "\x82\xA2"},  // い
    {'C', "\x82\xA4"},  // う
    {'D', "\x82\xE9"},  // る
    {'E', "\x82\xE7"},  // ら
    {'F', "\x82\xA6"},  // え
    {'G', "\x82\xEA"},  // れ
    {'H', "\x82\xE8"},  // り
    {'I', "\x82\xA8"},  // お
    {'J', "\x82\xEB"},  // ろ
    {'K', "\x82\xC8"},  // な
    {'L', "\x82\xC9"},  // に
    {'M', "\x82\xCA"},  // ぬ
    {'N', "\x82\xC2"},  // つ
    {'O', "\x82\xBD"},  // た
    {'P', "\x82\xCB"},  // ね
    {'Q', "\x82\xC4"},  // て
    {'R', "\x82\xBF"},  // ち
    {'S', "\x82\xCC"},  // の
    {'T', "\x82\xC6"},  // と
    {'U', "\x82\xCD"},  // は
    {'V', "\x82\xD0"},  // ひ
    {'W', "\x82\xBB"},  // そ
    {'X', "\x82\xD3"},  // ふ
    {'Y', "\x82\xDE"},  // む
    {'Z', "\x82\xDC"},  // ま
    {'[', "\x82\xB1"},  // こ
    {'\\', "\x82\xB5"},  // し
    {']', "\x82\xB9"},  // せ
    {0xDE, "\x81\x4A"},  // ゛
    {0xDF, "\x81\x4B"},  // ゜
});

// Dots 5 + cell with the prefix kept as its cell character.
inline constexpr CellTable DakuonPrefixedTable = MakeTable({
    {'!', "\xF0\x42\x82\xDA"},  // {F042}ぼ
    {'$', "\xF0\x42\x82\xB0"},  // {F042}げ
    {'%', "\xF0\x42\x82\xAE"},  // {F042}ぐ
    {'&', "\xF0\x42\x82\xD7"},  // {F042}べ
    {'*', "\xF0\x42\x82\xAA"},  // {F042}が
    {':', "\xF0\x42\x82\xB4"},  // {F042}ざ
    {'<', "\xF0\x42\x82\xAC"},  // {F042}ぎ
    {'?', "\xF0\x42\x82\xB8"},  // {F042}ず
    {'C', "\xF0\x42\x83\x94"},  // {F042}ヴ
    {'N', "\xF0\x42\x82\xC3"},  // {F042}づ
    {'O', "\xF0\x42\x82\xBE"},  // {F042}だ
    {'Q', "\xF0\x42\x82\xC5"},  // {F042}で
    {'R', "\xF0\x42\x82\xC0"},  // {F042}ぢ
    {'T', "\xF0\x42\x82\xC7"},  // {F042}ど
    {'U', "\xF0\x42\x82\xCE"},  // {F042}ば
    {'V', "\xF0\x42\x82\xD1"},  // {F042}び
    {'W', "\xF0\x42\x82\xBC"},  // {F042}ぞ
    {'X', "\xF0\x42\x82\xD4"},  // {F042}ぶ
    {'[', "\xF0\x42\x82\xB2"},  // {F042}ご
    {'\\', "\xF0\x42\x82\xB6"},  // {F042}じ
    {']', "\xF0\x42\x82\xBA"},  // {F042}ぜ
});

// Dots 5 + cell composed into one voiced kana.
inline constexpr CellTable DakuonTable = MakeTable({
    {'!', "\x82\xDA"},  // ぼ
    {'$', "\x82\xB0"},  // げ
    {'%', "\x82\xAE"},  // ぐ
    {'&', "\x82\xD7"},  // べ
    {'*', "\x82\xAA"},  // が
    {':', "\x82\xB4"},  // ざ
    {'<', "\x82\xAC"},  // ぎ
    {'?', "\x82\xB8"},  // ず
    {'C', "\x83\x94"},  // ヴ
    {'N', "\x82\xC3"},  // づ
    {'O', "\x82\xBE"},  // だ
    {'Q', "\x82\xC5"},  // で
    {'R', "\x82\xC0"},  // ぢ
    {'T', "\x82\xC7"},  // ど
    {'U', "\x82\xCE"},  // ば
    {'V', "\x82\xD1"},  // び
    {'W', "\x82\xBC"},  // ぞ
    {'X', "\x82\xD4"},  // ぶ
    {'[', "\x82\xB2"},  // ご
    {'\\', "\x82\xB6"},  // じ
    {']', "\x82\xBA"},  // ぜ
});

// Dots 6 + cell with the prefix kept as its cell character.
inline constexpr CellTable HandakuonPrefixedTable = MakeTable({
    {'!', "\xF0\x4C\x82\xDB"},  // {F04C}ぽ
    {'&', "\xF0\x4C\x82\xD8"},  // {F04C}ぺ
    {'2', "\x81\x84"},  // ＞
    {'U', "\xF0\x4C\x82\xCF"},  // {F04C}ぱ
    {'V', "\xF0\x4C\x82\xD2"},  // {F04C}ぴ
    {'X', "\xF0\x4C\x82\xD5"},  // {F04C}ぷ
});

// Dots 6 + cell composed into one semi-voiced kana.
inline constexpr CellTable HandakuonTable = MakeTable({
    {'!', "\x82\xDB"},  // ぽ
    {'&', "\x82\xD8"},  // ぺ
    {'2', "\x81\x84"},  // ＞
    {'U', "\x82\xCF"},  // ぱ
    {'V', "\x82\xD2"},  // ぴ
    {'X', "\x82\xD5"},  // ぷ
});

// Dots 4 + cell: contracted sounds.
inline constexpr CellTable YoonTable = MakeTable({
    {'!', "\x82\xD0\x82\xE5"},  // ひょ
    {'$', "\x82\xAB\x82\xA5"},  // きぇ
    {'%', "\x82\xAB\x82\xE3"},  // きゅ
    {'&', "\x82\xD0\x82\xA5"},  // ひぇ
    {')', "\x82\xDD\x82\xE5"},  // みょ
    {'*', "\x82\xAB\x82\xE1"},  // きゃ
    {':', "\x82\xB5\x82\xE1"},  // しゃ
    {'?', "\x82\xB5\x82\xE3"},  // しゅ
    {'D', "\x82\xE8\x82\xE3"},  // りゅ
    {'E', "\x82\xE8\x82\xE1"},  // りゃ
    {'F', "\x82\xA2\x82\xA5"},  // いぇ
    {'J', "\x82\xE8\x82\xE5"},  // りょ
    {'K', "\x82\xC9\x82\xE1"},  // にゃ
    {'M', "\x82\xC9\x82\xE3"},  // にゅ
    {'N', "\x82\xBF\x82\xE3"},  // ちゅ
    {'O', "\x82\xBF\x82\xE1"},  // ちゃ
    {'P', "\x82\xC9\x82\xA5"},  // にぇ
    {'Q', "\x82\xBF\x82\xA5"},  // ちぇ
    {'R', "\x82\xC4\x82\xA1"},  // てぃ
    {'S', "\x82\xC9\x82\xE5"},  // にょ
    {'T', "\x82\xBF\x82\xE5"},  // ちょ
    {'U', "\x82\xD0\x82\xE1"},  // ひゃ
    {'W', "\x82\xB5\x82\xE5"},  // しょ
    {'X', "\x82\xD0\x82\xE3"},  // ひゅ
    {'Y', "\x82\xDD\x82\xE3"},  // みゅ
    {'Z', "\x82\xDD\x82\xE1"},  // みゃ
    {'[', "\x82\xAB\x82\xE5"},  // きょ
    {'\\', "\x82\xB7\x82\xA1"},  // すぃ
    {']', "\x82\xB5\x82\xA5"},  // しぇ
});

// Dots 45 + cell: voiced contracted sounds.
inline constexpr CellTable YoonDakuonTable = MakeTable({
    {'!', "\x82\xD1\x82\xE5"},  // びょ
    {'%', "\x82\xAC\x82\xE3"},  // ぎゅ
    {'*', "\x82\xAC\x82\xE1"},  // ぎゃ
    {':', "\x82\xB6\x82\xE1"},  // じゃ
    {'?', "\x82\xB6\x82\xE3"},  // じゅ
    {'N', "\x82\xC0\x82\xE3"},  // ぢゅ
    {'O', "\x82\xC0\x82\xE1"},  // ぢゃ
    {'R', "\x82\xC5\x82\xA1"},  // でぃ
    {'T', "\x82\xC0\x82\xE5"},  // ぢょ
    {'U', "\x82\xD1\x82\xE1"},  // びゃ
    {'W', "\x82\xB6\x82\xE5"},  // じょ
    {'X', "\x82\xD1\x82\xE3"},  // びゅ
    {'[', "\x82\xAC\x82\xE5"},  // ぎょ
    {'\\', "\x82\xB8\x82\xA1"},  // ずぃ
    {']', "\x82\xB6\x82\xA5"},  // じぇ
});

// Dots 46 + cell: semi-voiced contracted sounds.
inline constexpr CellTable YoonHandakuonTable = MakeTable({
    {'!', "\x82\xD2\x82\xE5"},  // ぴょ
    {'+', "\x82\xD3\x82\xE3"},  // ふゅ
    {'>', "\x82\xD3\x82\xE5"},  // ふょ
    {'N', "\x82\xC4\x82\xE3"},  // てゅ
    {'U', "\x82\xD2\x82\xE1"},  // ぴゃ
    {'X', "\x82\xD2\x82\xE3"},  // ぴゅ
});

// Dots 26 + cell: special sounds.
inline constexpr CellTable SpecialTable = MakeTable({
    {'!', "\x82\xD3\x82\xA7"},  // ふぉ
    {'$', "\x82\xAD\x82\xA5"},  // くぇ
    {'&', "\x82\xD3\x82\xA5"},  // ふぇ
    {'*', "\x82\xAD\x82\x9F"},  // くぁ
    {'<', "\x82\xAD\x82\xA1"},  // くぃ
    {'B', "\x82\xA4\x82\xA1"},  // うぃ
    {'F', "\x82\xA4\x82\xA5"},  // うぇ
    {'I', "\x82\xA4\x82\xA7"},  // うぉ
    {'N', "\x82\xC6\x82\xA3"},  // とぅ
    {'O', "\x82\xC2\x82\x9F"},  // つぁ
    {'Q', "\x82\xC2\x82\xA5"},  // つぇ
    {'R', "\x82\xC2\x82\xA1"},  // つぃ
    {'T', "\x82\xC2\x82\xA7"},  // つぉ
    {'U', "\x82\xD3\x82\x9F"},  // ふぁ
    {'V', "\x82\xD3\x82\xA1"},  // ふぃ
    {'[', "\x82\xAD\x82\xA7"},  // くぉ
});

// Dots 256 + cell: voiced special sounds.
inline constexpr CellTable SpecialDakuonTable = MakeTable({
    {'!', "\x83\x94\x82\xA7"},  // ヴぉ
    {'$', "\x82\xAE\x82\xA5"},  // ぐぇ
    {'&', "\x83\x94\x82\xA5"},  // ヴぇ
    {'*', "\x82\xAE\x82\x9F"},  // ぐぁ
    {'<', "\x82\xAE\x82\xA1"},  // ぐぃ
    {'N', "\x82\xC7\x82\xA3"},  // どぅ
    {'U', "\x83\x94\x82\x9F"},  // ヴぁ
    {'V', "\x83\x94\x82\xA1"},  // ヴぃ
    {'[', "\x82\xAE\x82\xA7"},  // ぐぉ
});

// Dots 456 + cell: voiced special contracted sounds.
inline constexpr CellTable SpecialYoonDakuonTable = MakeTable({
    {'+', "\x83\x94\x82\xE3"},  // ヴゅ
    {'>', "\x83\x94\x82\xE5"},  // ヴょ
    {'N', "\x82\xC5\x82\xE3"},  // でゅ
});

// Digit cells A-J in number mode.
inline constexpr CellTable NumberTable = MakeTable({
    {'A', "\x82\x50"},  // １
    {'B', "\x82\x51"},  // ２
    {'C', "\x82\x52"},  // ３
    {'D', "\x82\x53"},  // ４
    {'E', "\x82\x54"},  // ５
    {'F', "\x82\x55"},  // ６
    {'G', "\x82\x56"},  // ７
    {'H', "\x82\x57"},  // ８
    {'I', "\x82\x58"},  // ９
    {'J', "\x82\x4F"},  // ０
});

// Full-width capitals, indexed by letter - 'A'.
inline constexpr LetterTable AlphaUpperTable = {
    "\x82\x60", "\x82\x61", "\x82\x62", "\x82\x63", "\x82\x64", "\x82\x65",  // ＡＢＣＤＥＦ
    "\x82\x66", "\x82\x67", "\x82\x68", "\x82\x69", "\x82\x6A", "\x82\x6B",  // ＧＨＩＪＫＬ
    "\x82\x6C", "\x82\x6D", "\x82\x6E", "\x82\x6F", "\x82\x70", "\x82\x71",  // ＭＮＯＰＱＲ
    "\x82\x72", "\x82\x73", "\x82\x74", "\x82\x75", "\x82\x76", "\x82\x77",  // ＳＴＵＶＷＸ
    "\x82\x78", "\x82\x79",  // ＹＺ
};

// Full-width small letters, indexed by letter - 'A'.
inline constexpr LetterTable AlphaLowerTable = {
    "\x82\x81", "\x82\x82", "\x82\x83", "\x82\x84", "\x82\x85", "\x82\x86",  // ａｂｃｄｅｆ
    "\x82\x87", "\x82\x88", "\x82\x89", "\x82\x8A", "\x82\x8B", "\x82\x8C",  // ｇｈｉｊｋｌ
    "\x82\x8D", "\x82\x8E", "\x82\x8F", "\x82\x90", "\x82\x91", "\x82\x92",  // ｍｎｏｐｑｒ
    "\x82\x93", "\x82\x94", "\x82\x95", "\x82\x96", "\x82\x97", "\x82\x98",  // ｓｔｕｖｗｘ
    "\x82\x99", "\x82\x9A",  // ｙｚ
};

}  // namespace tavolib
