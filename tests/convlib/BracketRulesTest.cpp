// The cells that double as brackets, dashes, arrows and marks: which way a
// bracket cell turns (its flag, the cell before it, its place in the line),
// the pairs and runs, and the life of the bracket flags within one line.
#include <gtest/gtest.h>

#include <string>

#include "convlib/KVCnv.h"
#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

class BracketRuleTest : public testing::TestWithParam<uint16_t> {
 protected:
  uint16_t option() const { return GetParam(); }
};

// Dots 36 (-): 「 or 」, and the pairs it starts.
constexpr LineCase kKagi[] = {
    {"-AB-", u8"「あい」"},
    {"-A-B-C-", u8"「あ」い「う」"},
    {"A-B", u8"あ「い"},
    {"-A4-", u8"「あ。」"},
    {"A4-", u8"あ。」"},  // after 。 it closes, even with no 「 open
    {"-A5-", u8"「あ？」"},
    {"A5-", u8"あ？」"},
    {"-A6-", u8"「あ！」"},
    {"A6-", u8"あ！」"},
    {"-A4-B-", u8"「あ。」い「"},
    {"A -B", u8"あ□「い"},
    {"-A -B-", u8"「あ□「い」"},  // after a space it opens, even with a 「 open
    {"-1", u8"{-}{1}"},
    {"-A-1", u8"「あ」っ"},
    {"-A-1B-", u8"「あ」っい「"},
    {"-2", u8"{-}』"},
    {"--", u8"～～"},
    {"--A", u8"～～あ"},
    {"--1", u8"{-}{-}{1}"},
    {"--2A", u8"{-}{-}{2}あ"},
    {"---", u8"～～「"},
};

TEST_P(BracketRuleTest, Dots36) {
  for (const LineCase& c : kKagi) EXPECT_TRUE(Converts(c, option()));
}

// Dots 2356 (7): （ or ）, always （ as the first or second cell of a line.
constexpr LineCase kKakko[] = {
    {"7A7", u8"（あ）"},
    {"A7B", u8"あ（い"},
    {"77", u8"（（"},
    {"71", u8"（っ"},  // first cell: the next cell is not read with it
    {"A71", u8"あ（っ"},
    {"A77", u8"あ（）"},
    {"AB77", u8"あい{7}{7}"},
    {"AB72", u8"あい{7}》"},
    {"AB71C7", u8"あい（っう）"},
    {"A7B71", u8"あ（い）っ"},
    {"ABC7", u8"あいう（"},
    {"A7B 7C7", u8"あ（い□（う）"},
    {"AB47", u8"あい。）"},  // after 。 it closes, even with no （ open
    {"AB57", u8"あい？）"},
    {"AB67", u8"あい！）"},
    {"A7B67", u8"あ（い！）"},
    {"A7B57", u8"あ（い？）"},
};

TEST_P(BracketRuleTest, Dots2356) {
  for (const LineCase& c : kKakko) EXPECT_TRUE(Converts(c, option()));
}

// Dots 5 + dots 2356 opens 〔; from then on dots 2356 + dot 2 with no （ open
// closes it, for the rest of the line.
constexpr LineCase kTortoiseShell[] = {
    {"\"7A71", u8"〔{7}あ{7}〕"},
    {"\"7A71B71", u8"〔{7}あ{7}〕い{7}〕"},
    {"\"7A7B71", u8"〔{7}あ（い）っ"},
    {"A\"7B71", u8"あ〔{7}い{7}〕"},
    {"AB71\"7C71", u8"あい（っ〔{7}う）っ"},
};

TEST_P(BracketRuleTest, Dots5AndDots2356) {
  for (const LineCase& c : kTortoiseShell) EXPECT_TRUE(Converts(c, option()));
}

// 「 and （ keep separate flags.
constexpr LineCase kIndependentFlags[] = {
    {"-A7B-7", u8"「あ（い」）"},
    {"A7B-C7-", u8"あ（い「う）」"},
};

TEST_P(BracketRuleTest, FlagsAreIndependent) {
  for (const LineCase& c : kIndependentFlags) EXPECT_TRUE(Converts(c, option()));
}

// Dots 246 ([), 25 (3), 2 (1) and 35 (9): arrows, long vowels, dashes,
// leaders and the star, or the cell's own kana.
constexpr LineCase kDashesAndMarks[] = {
    {"[33O", u8"←{3}{3}→"},
    {"[33OA", u8"←{3}{3}→あ"},
    {"[33", u8"←{3}{3}"},
    {"[33A", u8"←{3}{3}あ"},
    {"[333O", u8"←{3}{3}ーた"},  // the third 25 is no part of the arrow
    {"[3", u8"こー"},
    {"[A", u8"こあ"},
    {"33O", u8"{3}{3}→"},
    {"33", u8"－－"},
    {"3333", u8"－－－－"},
    {"333O", u8"－－－た"},
    {"3A", u8"ーあ"},
    {"A3", u8"あー"},
    {"11", u8"‥‥"},
    {"111", u8"‥‥‥"},
    {"111A", u8"‥‥‥あ"},
    {"1A", u8"っあ"},
    {"99", u8"{9}☆"},
    {"999", u8"{9}☆を"},
    {"9A", u8"をあ"},
};

TEST_P(BracketRuleTest, DashesArrowsAndMarks) {
  for (const LineCase& c : kDashesAndMarks) EXPECT_TRUE(Converts(c, option()));
}

INSTANTIATE_TEST_SUITE_P(AllOptions, BracketRuleTest, testing::ValuesIn(kAllOptions), OptionName);

// The flags live for one line: each conversion starts with every bracket
// closed and no 〔 open, whatever the line before left.
TEST(BracketFlagTest, EveryLineStartsClosed) {
  tavolib::TTavoCnv converter;
  std::string out;
  converter.CnvText("-A7B\"7", out, 0);
  EXPECT_TRUE(converter.KagiOpen && converter.KakkoOpen && converter.BracketOpen);
  converter.CnvText("AB-", out, 0);
  EXPECT_EQ(hex(out), hex(Out(u8"あい「")));
  converter.CnvText("AB7", out, 0);
  EXPECT_EQ(hex(out), hex(Out(u8"あい（")));
  converter.CnvText("AB71", out, 0);
  EXPECT_EQ(hex(out), hex(Out(u8"あい（っ")));
}

}  // namespace
}  // namespace tavo::test
