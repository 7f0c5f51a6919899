#include "dictool/SjisSearch.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::sj;

constexpr std::size_t npos = std::string_view::npos;

TEST(SjisSearchTest, FindsOnlyOccurrencesThatBeginACharacter) {
  struct Case {
    std::string text, pattern;
    std::size_t pos;
  };
  const Case cases[] = {
      {"xAB", "AB", 1},
      {sj("アA"), "A", 2},         // ア = 83 41: the first 'A' is a trail byte
      {sj("ア"), "A", npos},
      {sj("アアアA"), "A", 6},     // several false candidates before the real one
      {sj("アア"), "\x41\x83", npos},
      {sj("ｂ") + "\xA0", sj("あ"), npos},  // 82 82 A0 against 82 A0
      {sj("ねこ"), sj("こ"), 2},
      {"abc", "", npos},
      {"", "a", npos},
      {"ab", "abc", npos},
      {"ab\x82", "\x82", 2},  // a lone lead byte at the end is a character
      {"abcabd", "abd", 3},
      {sj("こねこ"), sj("ねこ"), 2},
  };
  // Long texts take another search path; single-byte characters in front
  // shift every boundary alike.
  const std::string longPrefix(1000, 'x');
  for (const Case& c : cases) {
    EXPECT_EQ(FindOnBoundary(c.text, c.pattern), c.pos) << hex(c.text) << " / " << hex(c.pattern);
    const std::size_t longPos = c.pos == npos ? npos : c.pos + longPrefix.size();
    EXPECT_EQ(FindOnBoundary(longPrefix + c.text, c.pattern), longPos) << "long " << hex(c.text);
  }
}

TEST(SjisSearchTest, ManyFalseCandidatesStayLinear) {
  const std::string a = sj("ア");
  std::string text;
  for (int i = 0; i < 500000; ++i) text += a;
  text += 'A';
  EXPECT_EQ(FindOnBoundary(text, "A"), 1000000u);
}

}  // namespace
}  // namespace tavo
