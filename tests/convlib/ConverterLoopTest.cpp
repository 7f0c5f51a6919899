// The main loop of a conversion: whole lines, bytes that are no cell, the
// end of the input, and a converter reused from line to line.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "convlib/KVCnv.h"
#include "tests/convlib/ConvTestText.h"

namespace tavo::test {
namespace {

class ConverterLoopTest : public testing::TestWithParam<uint16_t> {
 protected:
  uint16_t option() const { return GetParam(); }
};

constexpr LineCase kLines[] = {
    {"", u8""},
    {"\r\n\t`az{|}~\x7F\x80\x9F\xA0\xDD\xE0\xFF", u8""},  // no NABCC cell, no reading
    {"\xDE\xDF", u8"゛゜"},
    {"A\rB\n", u8"あい"},
    {"\"*@* #AB", u8"がきゃ□{#}１２", u8"{\"}がきゃ□{#}１２"},
    // Sentences with voiced and contracted sounds, a number and brackets.
    {"-\"<0[C\"Q @T<0 #AJJJ ZB4-", u8"「ぎんこうで□ちょきん□{#}１０００□まい。」",
     u8"「{\"}ぎんこう{\"}で□ちょきん□{#}１０００□まい。」"},
    {"7,UK7 :3T5", u8"（ぱな）□さーと？", u8"（{,}ぱな）□さーと？"},
};

TEST_P(ConverterLoopTest, Lines) {
  for (const LineCase& c : kLines) EXPECT_TRUE(Converts(c, option()));
}

INSTANTIATE_TEST_SUITE_P(AllOptions, ConverterLoopTest, testing::ValuesIn(kAllOptions),
                         OptionName);

TEST(ConverterLoopTest, ReturnsTheByteLength) {
  tavolib::TTavoCnv converter;
  std::string out;
  EXPECT_EQ(converter.CnvText("\"*@* #AB", out, 0), 14);
  EXPECT_EQ(converter.CnvText("\"*@* #AB", out, 1), 16);
  EXPECT_EQ(converter.CnvText("", out, 1), 0);
}

TEST(ConverterLoopTest, ReplacesTheResult) {
  tavolib::TTavoCnv converter;
  std::string out = "old text";
  converter.CnvText("A", out, 0);
  EXPECT_EQ(hex(out), hex(Out(u8"あ")));
}

// A NUL ends the input: no rule reads past it and nothing after it counts.
TEST(ConverterLoopTest, InputEndsAtTheFirstNul) {
  using namespace std::string_view_literals;
  EXPECT_TRUE(Converts("A\0B"sv, 0, Out(u8"あ")));
  EXPECT_TRUE(Converts("8A\0B0"sv, 0, Out(u8"{8}ａ")));
  EXPECT_TRUE(Converts("\"\0*"sv, 1, Out(u8"・")));
  EXPECT_TRUE(Converts("#A'B\0CD"sv, 0, Out(u8"{#}１わ２")));
  EXPECT_TRUE(Converts("\0A"sv, 0, ""));
}

// Nothing outside the line is read, whatever lies in memory next to it.
TEST(ConverterLoopTest, ReadsNothingOutsideTheLine) {
  const std::string before = "4-";  // a - after 。 would close
  EXPECT_TRUE(Converts(std::string_view(before).substr(1), 0, Out(u8"「")));
  const std::string after = "-1";  // - then 1 would be a pair
  EXPECT_TRUE(Converts(std::string_view(after).substr(0, 1), 0, Out(u8"「")));
  const std::string digits = "#A'BCD";  // three digits after ' would make it ，
  EXPECT_TRUE(Converts(std::string_view(digits).substr(0, 4), 0, Out(u8"{#}１わ２")));
}

}  // namespace
}  // namespace tavo::test
