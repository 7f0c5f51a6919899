// Properties of every conversion, over many random lines: the result is
// well-formed CP932 of two-byte characters, with KeepCells it has one
// character per cell except where two cells share one or a byte has no
// reading, and a converter carries nothing from one line to the next.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "convlib/KVCnv.h"
#include "platform/text/Cp932Lead.h"
#include "tests/convlib/ConvTestText.h"
#include "tests/convlib/FormLines.h"
#include "tests/convlib/RandomLines.h"

namespace tavo::test {
namespace {

constexpr int kLines = 4000;
constexpr int kMaxLength = 48;


// Empty when text is a sequence of two-byte CP932 characters, else what is wrong.
std::string Cp932Fault(std::string_view text) {
  if (text.size() % 2 != 0) return "odd length";
  for (size_t i = 0; i < text.size(); i += 2) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]))) return "no lead byte at " + std::to_string(i);
    if (!IsTrailByte(static_cast<unsigned char>(text[i + 1])))
      return "no trail byte at " + std::to_string(i + 1);
  }
  return {};
}

// Whether byte c has a reading of its own: a NABCC cell, or a half-width
// sound mark.
bool HasReading(unsigned char c) { return (c >= 0x20 && c <= 0x5F) || c == 0xDE || c == 0xDF; }

// Inside a foreign quotation the cells without a plain kana reading give
// nothing either.
bool HasQuotedReading(unsigned char c) {
  return HasReading(c) && std::string_view("#-.78^_").find(static_cast<char>(c)) == std::string_view::npos;
}

size_t ReadableBytes(std::string_view line) {
  size_t n = 0;
  for (unsigned char c : line) n += HasReading(c);
  return n;
}

// A random line with no foreign quotation and no dots 6 + 2 pair: with
// KeepCells every byte with a reading gives exactly one character.
std::string LineOfSingleCharacters(RandomLines& random) {
  std::string line = random.Line(kMaxLength);
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '8') line[i] = 'A';
    if (line[i] == '2' && i > 0 && line[i - 1] == ',') line[i] = 'B';
  }
  return line;
}

struct CountedLine {
  std::string line;
  size_t chars = 0;  // characters with KeepCells
};

// A line of pieces whose character count follows from the rules: lines of
// single characters, dots 6 + 2 pairs (two cells, one ＞) and foreign
// quotations (where # - . 7 8 ^ _ give nothing), each followed by a separator
// that no rule reads together with the cell before it: a space, or a byte
// without a reading. The last piece may be a quotation left open.
CountedLine LineOfPieces(RandomLines& random) {
  CountedLine out;
  const int pieces = random.Between(1, 6);
  for (int i = 0; i < pieces; ++i) {
    switch (random.Between(0, 2)) {
      case 0: {
        const std::string single = LineOfSingleCharacters(random);
        out.line += single;
        out.chars += ReadableBytes(single);
        break;
      }
      case 1:
        out.line += ",2";
        out.chars += 1;
        break;
      default: {
        out.line += '8';
        out.chars += 1;
        for (int n = random.Between(0, 12); n > 0; --n) {
          char c = random.Byte();
          if (c == '0') c = ',';
          out.line += c;
          out.chars += HasQuotedReading(static_cast<unsigned char>(c));
        }
        if (i + 1 == pieces && random.Between(0, 3) == 0) return out;  // left open
        out.line += '0';
        out.chars += 1;
        break;
      }
    }
    if (random.Between(0, 1) != 0) {
      out.line += ' ';
      out.chars += 1;
    } else {
      out.line += random.Silent();
    }
  }
  return out;
}

TEST(OutputPropertyTest, ResultIsTwoByteCp932) {
  RandomLines random(20240611);
  tavolib::TTavoCnv converter;
  std::string out;
  for (int i = 0; i < kLines; ++i) {
    const std::string line = random.Line(kMaxLength);
    for (uint16_t option : kAllOptions) {
      const int32_t length = converter.CnvText(line, out, option);
      ASSERT_EQ(length, static_cast<int32_t>(out.size()));
      ASSERT_EQ(Cp932Fault(out), "") << "line \"" << Printable(line) << "\" option " << option
                                     << "\n  result: " << hex(out);
    }
  }
}

TEST(OutputPropertyTest, KeepCellsGivesOneCharacterPerCell) {
  RandomLines random(7);
  for (int i = 0; i < kLines; ++i) {
    const std::string line = LineOfSingleCharacters(random);
    for (uint16_t option : {uint16_t{0x0001}, uint16_t{0x0101}}) {
      const std::string out = Convert(line, option);
      ASSERT_EQ(CharCount(out), ReadableBytes(line))
          << "line \"" << Printable(line) << "\"\n  result: " << hex(out);
    }
  }
}

TEST(OutputPropertyTest, KeepCellsCountWithQuotationsAndSharedCharacters) {
  RandomLines random(11);
  for (int i = 0; i < kLines; ++i) {
    const CountedLine c = LineOfPieces(random);
    const std::string out = Convert(c.line, 1);
    ASSERT_EQ(CharCount(out), c.chars) << "line \"" << Printable(c.line) << "\"\n  result: " << hex(out);
  }
}

// On any line: no more characters than bytes with a reading, and composing
// the voiced and semi-voiced kana only ever saves characters.
TEST(OutputPropertyTest, CharacterCountBounds) {
  RandomLines random(13);
  for (int i = 0; i < kLines; ++i) {
    const std::string line = random.Line(kMaxLength);
    const size_t kept = CharCount(Convert(line, 1));
    const size_t composed = CharCount(Convert(line, 0));
    ASSERT_LE(kept, ReadableBytes(line)) << "line \"" << Printable(line) << "\"";
    ASSERT_LE(composed, kept) << "line \"" << Printable(line) << "\"";
  }
}

TEST(OutputPropertyTest, NothingCarriesOverBetweenLines) {
  RandomLines random(17);
  tavolib::TTavoCnv shared;
  std::string out;
  for (int i = 0; i < kLines; ++i) {
    const std::string line = random.Line(kMaxLength);
    const uint16_t option = kAllOptions[i % 4];
    const std::string fresh = Convert(line, option);
    shared.CnvText(random.Line(kMaxLength), out, static_cast<uint16_t>(option ^ 1));
    shared.CnvText(line, out, option);
    ASSERT_EQ(hex(out), hex(fresh)) << "line \"" << Printable(line) << "\"";
  }
}

// What lets a search pass over a line unconverted: every character of a
// result is written by a cell that SourceCells names for it, over random
// lines and lines of every rule's forms, whatever the option.
TEST(OutputPropertyTest, EveryCharacterComesFromACellSourceCellsNames) {
  RandomLines random(29);
  FormLines forms(31);
  std::map<std::pair<std::string, bool>, std::array<uint8_t, 256>> cellsOf;
  for (int i = 0; i < 4 * kLines; ++i) {
    const std::string line = i % 2 ? forms.Line(static_cast<size_t>(random.Between(1, kMaxLength)))
                                   : random.Line(kMaxLength);
    for (uint16_t option : kAllOptions) {
      const std::string out = Convert(line, option);
      for (size_t at = 0; at < out.size(); at += IsLeadByte(static_cast<unsigned char>(out[at])) ? 2 : 1) {
        const std::string character = out.substr(at, IsLeadByte(static_cast<unsigned char>(out[at])) ? 2 : 1);
        const auto key = std::make_pair(character, tavolib::KeepCells(option));
        auto known = cellsOf.find(key);
        if (known == cellsOf.end()) {
          known = cellsOf.emplace(key, std::array<uint8_t, 256>{}).first;
          ASSERT_TRUE(tavolib::SourceCells(character, key.second, known->second.data())) << hex(character);
        }
        const bool named = std::any_of(line.begin(), line.end(),
                                       [&](char b) { return known->second[static_cast<unsigned char>(b)] != 0; });
        ASSERT_TRUE(named) << "character " << hex(character) << " of \"" << Printable(line) << "\" option "
                           << option << "\n  result: " << hex(out);
      }
    }
  }
  // A character no cell writes is named for none; what is not one
  // character cannot be told, and every cell is named.
  std::array<uint8_t, 256> cells{};
  ASSERT_TRUE(tavolib::SourceCells("\x88\x9F", false, cells.data()));  // 亜
  EXPECT_EQ(std::count(cells.begin(), cells.end(), 0), 256);
  for (const std::string_view notOne : {std::string_view("\x82\xA0\x82\xA2"), std::string_view("\x82"),
                                        std::string_view()}) {
    EXPECT_FALSE(tavolib::SourceCells(notOne, false, cells.data()));
    EXPECT_EQ(std::count(cells.begin(), cells.end(), 1), 256);
  }
}

}  // namespace
}  // namespace tavo::test
