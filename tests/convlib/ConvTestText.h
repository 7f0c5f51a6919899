// Helpers for the converter tests: expected texts written readably in UTF-8,
// the option words of both modes, and comparisons that fail in hex.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tests/support/TestText.h"  // sj(), hex()

namespace tavo::test {

// The cell character that stands for the NABCC cell c (0x20-0x5F): F0 followed
// by c + 0x20, except that '_' gives F0 80 (0x7F is no trail byte).
std::string cell(char c);

// One cell character for each cell of nabcc.
std::string cells(std::string_view nabcc);

// The CP932 bytes of a UTF-8 text in which "{c}" stands for cell(c):
// Out(u8"{\"}が") is the cell character of dots 5 followed by が.
std::string Out(std::u8string_view text);

// A NABCC line for failure messages: printable ASCII as it is, every other
// byte as \xNN.
std::string Printable(std::string_view bytes);

// Option words. The low byte is KeepCells; the high byte is read nowhere
// (the dictionary tool passes 0x0100).
inline bool KeepsCells(uint16_t option) { return (option & 0xFF) != 0; }

// Every option word the tests run with: both modes, with and without the
// tool's high byte.
inline constexpr uint16_t kAllOptions[] = {0x0000, 0x0001, 0x0100, 0x0101};

// Test-name suffix for an option word ("Option0101").
std::string OptionName(const testing::TestParamInfo<uint16_t>& info);

// Converts line with a fresh converter.
std::string Convert(std::string_view line, uint16_t option);

// Whether line converts to want; on failure both texts are shown in hex.
testing::AssertionResult Converts(std::string_view line, uint16_t option, std::string_view want);

// One line and what it converts to in each mode.
struct LineCase {
  std::string_view line;                          // NABCC input
  std::u8string_view composed;                    // KeepCells zero, notation of Out()
  std::optional<std::u8string_view> kept = {};    // KeepCells set, when it differs
};

// Whether c.line converts to the text c expects for option.
testing::AssertionResult Converts(const LineCase& c, uint16_t option);

// Splits CP932 text into characters: a lead byte (0x81-0x9F, 0xE0-0xFC)
// takes the next byte with it. Used by tests that count characters.
size_t CharCount(std::string_view cp932);

}  // namespace tavo::test
