// The rules that read runs of cells: the number sign and its digits,
// separators and arithmetic signs; the dots-56 foreign-letter word and
// symbols; the foreign-language quotation up to its closing cell.
#include <gtest/gtest.h>

#include <string>

#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

class RunRuleTest : public testing::TestWithParam<uint16_t> {
 protected:
  uint16_t option() const { return GetParam(); }
};

// The number sign (#): its lead-in, the digit loop, and where a number ends.
constexpr LineCase kNumbers[] = {
    {"#", u8"{#}"},
    {"#AB", u8"{#}１２"},
    {"#AJ", u8"{#}１０"},
    {"#AK", u8"{#}１な"},  // K is no digit cell
    {"#A B", u8"{#}１□い"},
    {"#K", u8"{#}な"},
    {"##A", u8"{#}{#}１"},
    {"###", u8"{#}{#}{#}"},
    {"#A#B", u8"{#}１、２"},
    {"#A#", u8"{#}１{#}"},
    {"#A##B", u8"{#}１{#}、２"},
    // An apostrophe right after the number sign, and the number signs after it.
    {"#'", u8"{#}’"},
    {"#'A", u8"{#}’１"},
    {"#'#A", u8"{#}’、１"},
    {"#'##A", u8"{#}’{#}、１"},
    {"#'#A#B", u8"{#}’、１、２"},
    {"#'#", u8"{#}’{#}"},
    // Separators and signs.
    {"#A3B", u8"{#}１：２"},
    {"#A3", u8"{#}１："},
    {"#A33", u8"{#}１：："},
    {"#A33#B", u8"{#}１＝＝{#}２"},
    {"#A33B", u8"{#}１＝＝い"},  // the number ends after ＝＝
    {"#A333#B", u8"{#}１：＝＝{#}２"},  // a 25 that is no ＝＝ leaves the next pair to the second
    {"#A3333", u8"{#}１：：：："},
    {"#A5#B", u8"{#}１＋{#}２"},
    {"#A5B", u8"{#}１うぃ"},  // 5 B is then read as dots 26 + B
    {"#A5", u8"{#}１？"},
    {"#A9#B", u8"{#}１－{#}２"},
    {"#A9B", u8"{#}１をい"},
    {"#A*#B", u8"{#}１×{#}２"},
    {"#A*B", u8"{#}１かい"},
    {"#A//#B", u8"{#}１÷÷{#}２"},
    {"#A//B", u8"{#}１ややい"},
    {"#A/#B", u8"{#}１や{#}２"},
};

TEST_P(RunRuleTest, NumberSign) {
  for (const LineCase& c : kNumbers) EXPECT_TRUE(Converts(c, option()));
}

// In a number an apostrophe is ， when three or more digit cells (A-J) follow
// anywhere later in the line, otherwise わ.
constexpr LineCase kApostrophes[] = {
    {"#A'BCD", u8"{#}１，２３４"},
    {"#A'BC", u8"{#}１わ２３"},
    {"#A'B", u8"{#}１わ２"},
    {"#A'", u8"{#}１わ"},
    {"#A'B CD", u8"{#}１，２□うる"},
    {"#A'B AA", u8"{#}１，２□ああ"},
    {"#A'B KK", u8"{#}１わ２□なな"},
    {"#A'B'CD", u8"{#}１，２わ３４"},
    {"#A'B #C'D E", u8"{#}１，２□{#}３わ４□ら"},
    {"#A'B #C'D EF", u8"{#}１，２□{#}３，４□らえ"},
};

TEST_P(RunRuleTest, ApostropheInANumber) {
  for (const LineCase& c : kApostrophes) EXPECT_TRUE(Converts(c, option()));
}

// Dots 56 (;): a foreign-letter word with its capital signs, or a symbol.
constexpr LineCase kAlphabet[] = {
    {";", u8"、"},
    {";B ", u8"{;}ｂ□"},
    {";AB4", u8"{;}ａｂ。"},
    {";AB#C", u8"{;}ａｂ{#}３"},
    {";,AB", u8"{;}{,}Ａｂ"},
    {";,,AB", u8"{;}{,}{,}ＡＢ"},
    {";,,,A", u8"{;}{,}{,}{,}Ａ"},
    {";,", u8"{;}{,}"},
    {";A,BC", u8"{;}ａ{,}Ｂｃ"},
    {";A,,BC", u8"{;}ａ{,}{,}ＢＣ"},
    {";A,,,BC", u8"{;}ａ{,}{,}{,}ＢＣ"},
    {";,A,BC", u8"{;}{,}Ａ{,}Ｂｃ"},
    {";P", u8"{;}％"},
    {";P4", u8"{;}％。"},
    {";PA", u8"{;}ｐａ"},
    {";%", u8"{;}＃"},
    {";&", u8"{;}＆"},
    {";*", u8"{;}＊"},
    {";'", u8"＜{'}"},
    {";2", u8"※{2}"},
    {";7", u8"《{7}"},
    {";-", u8"『{-}"},
    {";-A", u8"『{-}あ"},
    {";--", u8"{;}{-}{-}"},
    {";--A", u8"{;}{-}{-}あ"},
    {";4", u8"、。"},
    {"; ", u8"、□"},
    {";;", u8"、、"},
    {";0", u8"、ん"},
};

TEST_P(RunRuleTest, Dots56) {
  for (const LineCase& c : kAlphabet) EXPECT_TRUE(Converts(c, option()));
}

// Dots 236 (8): a quotation up to dots 356 (0), or to the end of the line.
constexpr LineCase kQuotations[] = {
    {"8", u8"{8}"},
    {"80", u8"{8}{0}"},
    {"8A,B0A", u8"{8}ａ{,}Ｂ{0}あ"},
    {"8AB", u8"{8}ａｂ"},
    {"8,A B0", u8"{8}{,}Ａ□ｂ{0}"},
    {"8,,A B0", u8"{8}{,}{,}Ａ□Ｂ{0}"},
    {"8,,,AB0", u8"{8}{,}{,}{,}ＡＢ{0}"},
    {"8#-.78^_0", u8"{8}{0}"},  // cells without a plain reading give nothing
    {"8*5 0", u8"{8}か？□{0}"},
    {"8\"@;0", u8"{8}・{@}、{0}"},
    {"8A0B0", u8"{8}ａ{0}いん"},  // after the quotation 0 is ん again
};

TEST_P(RunRuleTest, Dots236) {
  for (const LineCase& c : kQuotations) EXPECT_TRUE(Converts(c, option()));
}

INSTANTIATE_TEST_SUITE_P(AllOptions, RunRuleTest, testing::ValuesIn(kAllOptions), OptionName);

TEST(RunRuleTest, QuotationSkipsBytesWithoutAReading) {
  EXPECT_TRUE(Converts("8\x01\x7F\x80\xDE\xFF" "A0", 1, Out(u8"{8}゛ａ{0}")));
}

// The apostrophe counts every digit cell to the end of the line; a line of
// many of them must still be read in one pass.
TEST(RunRuleTest, ApostropheCountOnALongLine) {
  constexpr int kGroups = 200000;
  const std::string separated = Out(u8"，２");
  const std::string wa = Out(u8"わ２");
  std::string line = "#A";
  std::string want = Out(u8"{#}１");
  for (int i = 0; i < kGroups; ++i) {
    line += "'B";
    // Only the last two apostrophes have fewer than three digits after them.
    want += i < kGroups - 2 ? separated : wa;
  }
  EXPECT_TRUE(Convert(line, 0) == want);
}

}  // namespace
}  // namespace tavo::test
