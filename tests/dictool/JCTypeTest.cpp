#include "dictool/JCType.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text/Cp932.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::sj;

TEST(JCTypeTest, CharacterClassesStopAtTheirRangeEnds) {
  struct Case {
    unsigned char b;
    bool kana;
    bool lead;
  };
  const Case cases[] = {
      {0x40, false, false}, {0x80, false, false}, {0x81, false, true}, {0x9F, false, true},
      {0xA0, false, false}, {0xA1, true, false},  {0xDF, true, false}, {0xE0, false, true},
      {0xFC, false, true},  {0xFD, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsHankakuKana(c.b), c.kana) << std::hex << int{c.b};
    EXPECT_EQ(IsSJISLeadByte(c.b), c.lead) << std::hex << int{c.b};
  }
}

// The tables are long literal lists: compare them against the character
// they must spell, so that a mistyped escape cannot hide.
TEST(JCTypeTest, AnkTableSpellsTheFullWidthForms) {
  const std::string special = " \"'-\\`~";
  const char* const specialForms[] = {"□", "”", "’", "－", "￥", "｀", "￣"};
  for (int b = 0x20; b <= 0x7E; ++b) {
    const auto at = special.find(static_cast<char>(b));
    std::string expected;
    if (at != std::string::npos) {
      expected = specialForms[at];
    } else {
      const char32_t cp = U'\uFF01' + static_cast<char32_t>(b - 0x21);
      expected = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (cp & 0x3F))};
    }
    EXPECT_EQ(Cp932ToUtf8(AnkToZenkaku(static_cast<unsigned char>(b))), expected) << std::hex << b;
  }
  EXPECT_EQ(AnkToZenkaku(0x1F), "");
  EXPECT_EQ(AnkToZenkaku(0x7F), "");
}

TEST(JCTypeTest, KanaTableSpellsTheHiragana) {
  const std::string expected =
      "。「」、・をぁぃぅぇぉゃゅょっー"
      "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわん"
      "゛゜";
  std::string got;
  for (int b = 0xA1; b <= 0xDF; ++b) got += KanaToHiragana(static_cast<unsigned char>(b));
  EXPECT_EQ(Cp932ToUtf8(got), expected);
  EXPECT_EQ(KanaToHiragana(0xA0), "");
  EXPECT_EQ(KanaToHiragana(0x9F), "");
  EXPECT_EQ(KanaToHiragana(0xE0), "");
}

TEST(JCTypeTest, HankakuToZenkaku) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {sj("ｶﾞ"), sj("が")},
      {sj("ﾄﾞ"), sj("ど")},
      {sj("ﾎﾞ"), sj("ぼ")},
      {sj("ｳﾞ"), sj("う゛")},  // no voiced form in the table
      {sj("ﾊﾟ"), sj("ぱ")},
      {sj("ｱﾟ"), sj("あ゜")},
      {sj("ﾑ"), sj("む")},
      {sj("ｶ"), sj("か")},  // last byte: no mark can follow
      {sj("ﾞ"), sj("゛")},
      {"a b", sj("ａ□ｂ")},
      {sj("ねこＡ"), sj("ねこＡ")},
      {sj("ね") + "\x82", sj("ね") + "\x82"},  // lone lead byte kept
      {"\x01" "a\x7F", sj("ａ")},             // no entry: nothing
      {"a\xDE", sj("゛")},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(hex(HankakuToZenkaku(c.in)), hex(c.out)) << hex(c.in);
}

TEST(JCTypeTest, SpaceToSquare) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {sj("あ い　う"), sj("あ□い□う")},
      {sj("  　　"), sj("□□□□")},
      {sj("ねこ"), sj("ねこ")},
      {"", ""},
      // メ is 83 81: its trail byte and the '@' after it look like 81 40.
      {sj("メ@"), sj("メ@")},
      {sj("メ　"), sj("メ□")},
      {"\x82 ", std::string("\x82").append(sj("□"))},  // a space is never a trail byte
      {"\x82", "\x82"},
  };
  for (const Case& c : cases) EXPECT_EQ(hex(SpaceToSquare(c.in)), hex(c.out)) << hex(c.in);
}

}  // namespace
}  // namespace tavo
