// Every entry of the reading tables, read through the converter: each byte on
// its own, each byte inside a foreign quotation (which reads every cell but
// letters, dots 6 and its closing cell from the plain kana table), every byte
// after each kana prefix cell, the digits and both letter cases. The expected
// readings are written out here in full, so a wrong or missing table entry
// shows up as the one line that reads it.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>

#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

struct Reading {
  char key;
  std::u8string_view text;  // in the notation of Out(): {c} is cell(c)
};

// The reading of a cell that no rule claims.
constexpr Reading kKana[] = {
    {' ', u8"□"}, {'!', u8"ほ"}, {'"', u8"・"}, {'$', u8"け"}, {'%', u8"く"}, {'&', u8"へ"},
    {'\'', u8"わ"}, {'(', u8"み"}, {')', u8"も"}, {'*', u8"か"}, {'+', u8"ゆ"}, {'/', u8"や"},
    {'0', u8"ん"}, {'1', u8"っ"}, {'2', u8"{2}"}, {'3', u8"ー"}, {'4', u8"。"}, {'5', u8"？"},
    {'6', u8"！"}, {'9', u8"を"}, {':', u8"さ"}, {';', u8"、"}, {'<', u8"き"}, {'=', u8"め"},
    {'>', u8"よ"}, {'?', u8"す"}, {'@', u8"{@}"}, {'A', u8"あ"}, {'B', u8"い"}, {'C', u8"う"},
    {'D', u8"る"}, {'E', u8"ら"}, {'F', u8"え"}, {'G', u8"れ"}, {'H', u8"り"}, {'I', u8"お"},
    {'J', u8"ろ"}, {'K', u8"な"}, {'L', u8"に"}, {'M', u8"ぬ"}, {'N', u8"つ"}, {'O', u8"た"},
    {'P', u8"ね"}, {'Q', u8"て"}, {'R', u8"ち"}, {'S', u8"の"}, {'T', u8"と"}, {'U', u8"は"},
    {'V', u8"ひ"}, {'W', u8"そ"}, {'X', u8"ふ"}, {'Y', u8"む"}, {'Z', u8"ま"}, {'[', u8"こ"},
    {'\\', u8"し"}, {']', u8"せ"}, {'\xDE', u8"゛"}, {'\xDF', u8"゜"},
};

// A prefix cell as the last cell of a line: the "alone" branch of its rule,
// or its plain reading where the rule leaves the cell to the kana table.
constexpr Reading kPrefixAlone[] = {
    {'"', u8"・"}, {'#', u8"{#}"}, {',', u8"{,}"}, {'-', u8"「"},   {'.', u8"{.}"},  {'1', u8"っ"},
    {'3', u8"ー"}, {'4', u8"。"},  {'5', u8"？"},  {'7', u8"（"},   {'8', u8"{8}"},  {'9', u8"を"},
    {';', u8"、"}, {'@', u8"{@}"}, {'[', u8"こ"},  {'^', u8"{^}"},  {'_', u8"／"},
};

// Dots 5 + cell. With KeepCells the dots-5 cell character comes first.
constexpr Reading kVoiced[] = {
    {'!', u8"ぼ"}, {'$', u8"げ"}, {'%', u8"ぐ"}, {'&', u8"べ"}, {'*', u8"が"}, {':', u8"ざ"},
    {'<', u8"ぎ"}, {'?', u8"ず"}, {'C', u8"ヴ"}, {'N', u8"づ"}, {'O', u8"だ"}, {'Q', u8"で"},
    {'R', u8"ぢ"}, {'T', u8"ど"}, {'U', u8"ば"}, {'V', u8"び"}, {'W', u8"ぞ"}, {'X', u8"ぶ"},
    {'[', u8"ご"}, {'\\', u8"じ"}, {']', u8"ぜ"},
};
// Dots 5 + cell without a voiced kana, the same in both modes.
constexpr Reading kVoicedSymbols[] = {
    {'1', u8"{\"}{1}"}, {'7', u8"〔{7}"},    {'Y', u8"{\"}□"},   {'Z', u8"{\"}○"},
    {'(', u8"{\"}△"},   {'=', u8"{\"}×"},    {')', u8"{\"}{)}"}, {'-', u8"{\"}{-}"},
};

// Dots 6 + cell. With KeepCells the dots-6 cell character comes first.
constexpr Reading kSemiVoiced[] = {
    {'!', u8"ぽ"}, {'&', u8"ぺ"}, {'U', u8"ぱ"}, {'V', u8"ぴ"}, {'X', u8"ぷ"},
};
// Dots 6 + cell, the same in both modes: ＞ is one character for two cells.
constexpr Reading kSemiVoicedSymbols[] = {
    {'2', u8"＞"},       {'5', u8"{,}{5}"},  {'7', u8"{,}{7}"},
    {'8', u8"{,}{8}"},   {'\'', u8"{,}{'}"}, {'-', u8"{,}{-}"},
};

// Dots 4 + cell.
constexpr Reading kContracted[] = {
    {'!', u8"ひょ"}, {'$', u8"きぇ"}, {'%', u8"きゅ"}, {'&', u8"ひぇ"}, {')', u8"みょ"},
    {'*', u8"きゃ"}, {':', u8"しゃ"}, {'?', u8"しゅ"}, {'D', u8"りゅ"}, {'E', u8"りゃ"},
    {'F', u8"いぇ"}, {'J', u8"りょ"}, {'K', u8"にゃ"}, {'M', u8"にゅ"}, {'N', u8"ちゅ"},
    {'O', u8"ちゃ"}, {'P', u8"にぇ"}, {'Q', u8"ちぇ"}, {'R', u8"てぃ"}, {'S', u8"にょ"},
    {'T', u8"ちょ"}, {'U', u8"ひゃ"}, {'W', u8"しょ"}, {'X', u8"ひゅ"}, {'Y', u8"みゅ"},
    {'Z', u8"みゃ"}, {'[', u8"きょ"}, {'\\', u8"すぃ"}, {']', u8"しぇ"},
};

// Dots 45 + cell.
constexpr Reading kVoicedContracted[] = {
    {'!', u8"びょ"}, {'%', u8"ぎゅ"}, {'*', u8"ぎゃ"}, {':', u8"じゃ"}, {'?', u8"じゅ"},
    {'N', u8"ぢゅ"}, {'O', u8"ぢゃ"}, {'R', u8"でぃ"}, {'T', u8"ぢょ"}, {'U', u8"びゃ"},
    {'W', u8"じょ"}, {'X', u8"びゅ"}, {'[', u8"ぎょ"}, {'\\', u8"ずぃ"}, {']', u8"じぇ"},
};

// Dots 46 + cell.
constexpr Reading kSemiVoicedContracted[] = {
    {'!', u8"ぴょ"}, {'+', u8"ふゅ"}, {'>', u8"ふょ"}, {'N', u8"てゅ"}, {'U', u8"ぴゃ"}, {'X', u8"ぴゅ"},
};

// Dots 26 + cell; dots 26 twice is the cell character and ＞.
constexpr Reading kSpecial[] = {
    {'!', u8"ふぉ"}, {'$', u8"くぇ"}, {'&', u8"ふぇ"}, {'*', u8"くぁ"}, {'<', u8"くぃ"},
    {'B', u8"うぃ"}, {'F', u8"うぇ"}, {'I', u8"うぉ"}, {'N', u8"とぅ"}, {'O', u8"つぁ"},
    {'Q', u8"つぇ"}, {'R', u8"つぃ"}, {'T', u8"つぉ"}, {'U', u8"ふぁ"}, {'V', u8"ふぃ"},
    {'[', u8"くぉ"}, {'5', u8"{5}＞"},
};

// Dots 256 + cell.
constexpr Reading kVoicedSpecial[] = {
    {'!', u8"ヴぉ"}, {'$', u8"ぐぇ"}, {'&', u8"ヴぇ"}, {'*', u8"ぐぁ"}, {'<', u8"ぐぃ"},
    {'N', u8"どぅ"}, {'U', u8"ヴぁ"}, {'V', u8"ヴぃ"}, {'[', u8"ぐぉ"},
};

// Dots 456 + cell.
constexpr Reading kVoicedSpecialContracted[] = {
    {'+', u8"ヴゅ"}, {'>', u8"ヴょ"}, {'N', u8"でゅ"},
};

constexpr std::u8string_view kDigits = u8"１２３４５６７８９０";  // cells A-J
constexpr std::u8string_view kSmall = u8"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ";
constexpr std::u8string_view kCapital = u8"ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ";

// The i-th character of a text of full-width characters (three UTF-8 bytes each).
std::string Nth(std::u8string_view fullWidth, int i) { return Out(fullWidth.substr(3 * i, 3)); }

const Reading* Find(std::span<const Reading> readings, unsigned char key) {
  for (const Reading& r : readings) {
    if (static_cast<unsigned char>(r.key) == key) return &r;
  }
  return nullptr;
}

std::string KanaReading(unsigned char c) {
  const Reading* r = Find(kKana, c);
  return r != nullptr ? Out(r->text) : std::string();
}

// What a byte gives as the only cell of a line.
std::string AloneReading(unsigned char c) {
  const Reading* r = Find(kPrefixAlone, c);
  return r != nullptr ? Out(r->text) : KanaReading(c);
}

bool IsLetter(unsigned char c) { return c >= 'A' && c <= 'Z'; }

class ReadingTableTest : public testing::TestWithParam<uint16_t> {
 protected:
  uint16_t option() const { return GetParam(); }
  bool kept() const { return KeepsCells(GetParam()); }
};

TEST_P(ReadingTableTest, EveryByteAloneOnALine) {
  for (int c = 1; c < 256; ++c) {
    EXPECT_TRUE(Converts(std::string(1, static_cast<char>(c)), option(), AloneReading(c)));
  }
}

TEST_P(ReadingTableTest, EveryByteInsideAForeignQuotationReadsTheKanaTable) {
  for (int c = 1; c < 256; ++c) {
    if (IsLetter(c) || c == ',' || c == '0') continue;  // the quotation's own cells
    const std::string line = {'8', static_cast<char>(c)};
    EXPECT_TRUE(Converts(line, option(), cell('8') + KanaReading(c)));
  }
}

// A kana prefix rule and what it reads after its prefix cell.
struct PrefixRule {
  char prefix;
  std::span<const Reading> table;    // readings that KeepCells may prefix with the cell
  std::span<const Reading> symbols;  // readings that are the same in both modes
  bool keepsPrefixCell;              // KeepCells writes cell(prefix) before a table reading
};

const PrefixRule kPrefixRules[] = {
    {'"', kVoiced, kVoicedSymbols, true},
    {',', kSemiVoiced, kSemiVoicedSymbols, true},
    {'@', kContracted, {}, false},
    {'^', kVoicedContracted, {}, false},
    {'.', kSemiVoicedContracted, {}, false},
    {'5', kSpecial, {}, false},
    {'4', kVoicedSpecial, {}, false},
    {'_', kVoicedSpecialContracted, {}, false},
};

// Prefix cell + every other byte: the pair's reading, or the prefix's "alone"
// text followed by whatever the byte reads as the next cell of the line.
TEST_P(ReadingTableTest, EveryByteAfterEachKanaPrefix) {
  for (const PrefixRule& rule : kPrefixRules) {
    for (int p = 1; p < 256; ++p) {
      const std::string line = {rule.prefix, static_cast<char>(p)};
      std::string want;
      if (const Reading* r = Find(rule.table, p)) {
        want = (kept() && rule.keepsPrefixCell ? cell(rule.prefix) : "") + Out(r->text);
      } else if (const Reading* s = Find(rule.symbols, p)) {
        want = Out(s->text);
      } else {
        // After 。 (dots 256) or ？ (dots 26) a dots-36 cell closes a 「.
        const bool closes = p == '-' && (rule.prefix == '4' || rule.prefix == '5');
        want = AloneReading(static_cast<unsigned char>(rule.prefix)) +
               (closes ? Out(u8"」") : AloneReading(p));
      }
      EXPECT_TRUE(Converts(line, option(), want));
    }
  }
}

TEST_P(ReadingTableTest, DigitCellsAfterTheNumberSign) {
  for (int i = 0; i < 10; ++i) {
    const std::string line = {'#', static_cast<char>('A' + i)};
    EXPECT_TRUE(Converts(line, option(), cell('#') + Nth(kDigits, i)));
  }
}

TEST_P(ReadingTableTest, LettersInBothCases) {
  for (int i = 0; i < 26; ++i) {
    const char letter = static_cast<char>('A' + i);
    EXPECT_TRUE(Converts(std::string("8") + letter, option(), cell('8') + Nth(kSmall, i)));
    EXPECT_TRUE(Converts(std::string("8,") + letter, option(), cells("8,") + Nth(kCapital, i)));
    EXPECT_TRUE(Converts(std::string(";,") + letter, option(), cells(";,") + Nth(kCapital, i)));
    if (letter == 'P') continue;  // dots 56 + P alone is ％
    EXPECT_TRUE(Converts(std::string(";") + letter, option(), cell(';') + Nth(kSmall, i)));
  }
}

INSTANTIATE_TEST_SUITE_P(AllOptions, ReadingTableTest, testing::ValuesIn(kAllOptions), OptionName);

TEST(CellCharacterTest, UnderscoreSkipsF07F) {
  // F0 7F is no CP932 character: the last cell goes to F0 80.
  EXPECT_TRUE(Converts("_XXL", 0, "\xF0\x80\xF0\x78\xF0\x78\xF0\x6C"));
}

}  // namespace
}  // namespace tavo::test
