// The kana prefix cells beyond their tables: what each writes when the next
// cell has no pair reading, the pairs and runs that consume more than one
// cell, and what the main loop reads after them.
#include <gtest/gtest.h>

#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

class KanaPrefixRuleTest : public testing::TestWithParam<uint16_t> {
 protected:
  uint16_t option() const { return GetParam(); }
};

// Dots 5 ("): a voiced kana, a symbol pair, or ・ that leaves the next cell.
constexpr LineCase kVoiced[] = {
    {"\"*", u8"が", u8"{\"}が"},
    {"\"*A", u8"があ", u8"{\"}があ"},
    {"\"C", u8"ヴ", u8"{\"}ヴ"},
    {"\"A", u8"・あ"},
    {"\" ", u8"・□"},
    {"\"\"*", u8"・が", u8"・{\"}が"},
    {"\"1A", u8"{\"}{1}あ"},
    {"\"YZ", u8"{\"}□ま"},
    {"\"-A", u8"{\"}{-}あ"},
    {"\"--", u8"{\"}{-}{-}"},
    {"\"--A", u8"{\"}{-}{-}あ"},
    {"\"---", u8"{\"}{-}{-}「"},  // the fourth cell is a bracket of its own
    {"\"7A", u8"〔{7}あ"},
};

TEST_P(KanaPrefixRuleTest, Dots5) {
  for (const LineCase& c : kVoiced) EXPECT_TRUE(Converts(c, option()));
}

// Dots 6 (,): a semi-voiced kana, ＞ for dots 6 + 2 in both modes, a symbol
// pair, or its cell character alone.
constexpr LineCase kSemiVoiced[] = {
    {",U", u8"ぱ", u8"{,}ぱ"},
    {",UA", u8"ぱあ", u8"{,}ぱあ"},
    {",2", u8"＞"},
    {",2A", u8"＞あ"},
    {",22", u8"＞{2}"},
    {",A", u8"{,}あ"},
    {",,U", u8"{,}ぱ", u8"{,}{,}ぱ"},
    {",5A", u8"{,}{5}あ"},
    {",-A", u8"{,}{-}あ"},
};

TEST_P(KanaPrefixRuleTest, Dots6) {
  for (const LineCase& c : kSemiVoiced) EXPECT_TRUE(Converts(c, option()));
}

// Dots 4, 45, 46, 256 and 26: a two-kana syllable in both modes, or the
// prefix's own text with the next cell left to the main loop.
constexpr LineCase kContracted[] = {
    {"@*", u8"きゃ"},     {"@*A", u8"きゃあ"},   {"@A", u8"{@}あ"},   {"@@*", u8"{@}きゃ"},
    {"^*", u8"ぎゃ"},     {"^A", u8"{^}あ"},      {".U", u8"ぴゃ"},    {".A", u8"{.}あ"},
    {"4U", u8"ヴぁ"},     {"4A", u8"。あ"},       {"5*", u8"くぁ"},    {"5A", u8"？あ"},
    {"55", u8"{5}＞"},    {"55*", u8"{5}＞か"},   {"555", u8"{5}＞？"},
};

TEST_P(KanaPrefixRuleTest, ContractedAndSpecialSyllables) {
  for (const LineCase& c : kContracted) EXPECT_TRUE(Converts(c, option()));
}

// Dots 456 (_): a syllable, the four cells _ X X L kept as they are, or ／.
constexpr LineCase kDots456[] = {
    {"_N", u8"でゅ"},
    {"_NA", u8"でゅあ"},
    {"_XXL", u8"{_}{X}{X}{L}"},
    {"_XXLA", u8"{_}{X}{X}{L}あ"},
    {"_XXA", u8"／ふふあ"},
    {"_XX", u8"／ふふ"},
    {"_XXXL", u8"／ふふふに"},
    {"_X_XXL", u8"／ふ{_}{X}{X}{L}"},
    {"_X", u8"／ふ"},
    {"_A", u8"／あ"},
    {"__N", u8"／でゅ"},
};

TEST_P(KanaPrefixRuleTest, Dots456) {
  for (const LineCase& c : kDots456) EXPECT_TRUE(Converts(c, option()));
}

INSTANTIATE_TEST_SUITE_P(AllOptions, KanaPrefixRuleTest, testing::ValuesIn(kAllOptions),
                         OptionName);

}  // namespace
}  // namespace tavo::test
