// The constant tables of the converter. Each value is the exact CP932 output
// text of a reading; {F0xx} in the comments is the cell character F0 xx that
// stands for one raw braille cell. An empty entry means "no reading here".
//
// All tables are constant-initialised data: they are valid from the moment the
// library is loaded, no code runs to build them, and nothing changes them.
#pragma once

#include <array>
#include <cstddef>
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

extern const CellTable KanaTable;
extern const CellTable DakuonPrefixedTable;
extern const CellTable DakuonTable;
extern const CellTable HandakuonPrefixedTable;
extern const CellTable HandakuonTable;
extern const CellTable YoonTable;
extern const CellTable YoonDakuonTable;
extern const CellTable YoonHandakuonTable;
extern const CellTable SpecialTable;
extern const CellTable SpecialDakuonTable;
extern const CellTable SpecialYoonDakuonTable;
extern const CellTable NumberTable;
extern const LetterTable AlphaUpperTable;
extern const LetterTable AlphaLowerTable;

}  // namespace tavolib
