// The generator's vocabulary: real Japanese words for dictionary lines, and
// braille words (NABCC cells) for RUTE documents.
//
// The dictionary lists hold CP932 bytes and none of them contains the
// hiragana "ね" (82 CB) or the half-width katakana "ﾋ" (CB). Since CB is no
// lead byte, lines joined from these words can hold the bytes 82 CB nowhere,
// so no generated dictionary line contains "ねこ" or any other word with
// "ね" unless it is asked for as a hit word. The braille words are free of
// that rule (a RUTE document may well speak of cats).
//
// Constant data, valid for the whole program; thread-safe.
#pragma once

#include <span>
#include <string_view>

namespace tavo::gen {

using WordList = std::span<const std::string_view>;

// Dictionary words.
extern const WordList Pieces;          // parts of compounds, joined with "□"
extern const WordList Categories;      // names of groups and comment topics
extern const WordList Notes;           // texts of '%' comments
extern const WordList ColonLines;      // "heading:form" lines (kana:kanji)
extern const WordList HalfWidthWords;  // half-width katakana words

// Braille words: NABCC cells 0x20-0x5F without blanks, each reading back as
// plain kana through the converter whatever stands beside it after a blank.
extern const WordList BrailleWords;
// Counters to write right after a number sign and its digits (none begins
// with a cell that number mode would read as a digit or a sign).
extern const WordList BrailleCounters;

}  // namespace tavo::gen
