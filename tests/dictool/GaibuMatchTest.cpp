#include "dictool/GaibuMatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::sj;

TEST(GaibuMatchTest, MatchSearchWord) {
  struct Case {
    std::string text, pattern;
    bool found;
    int position;  // from 1; -1 = left alone
  };
  const Case cases[] = {
      {sj("ねこ"), sj("こ"), true, 3},   {sj("アA"), "A", true, 3},
      {sj("ア"), "A", false, -1},        {"", "A", false, -1},
      {"abc", "", false, -1},            {"abc", "a", true, 1},
  };
  for (const Case& c : cases) {
    int position = -1;
    EXPECT_EQ(MatchSearchWord(c.text, c.pattern, &position), c.found) << hex(c.text);
    EXPECT_EQ(position, c.position) << hex(c.text);
  }
  EXPECT_TRUE(MatchSearchWord("abc", "c", nullptr));
}

TEST(GaibuMatchTest, JoinLines) {
  struct Case {
    std::string a, b;
    std::optional<std::string> joined;
  };
  const Case cases[] = {
      {"ab  ", "cd", "ab cd"},
      {"ab", "cd", "ab cd"},
      {"ab", " cd", std::nullopt},  // the next line starts a new word
      {"   ", "cd", "    cd"},      // blanks only: kept whole
      {"", "cd", " cd"},
      {"ab", "", "ab "},
  };
  for (const Case& c : cases) {
    std::string joined = "left alone";
    EXPECT_EQ(JoinLines(c.a, c.b, joined), c.joined.has_value()) << "[" << c.a << "][" << c.b << "]";
    EXPECT_EQ(joined, c.joined.value_or("left alone")) << "[" << c.a << "][" << c.b << "]";
  }
}

TEST(GaibuMatchTest, RemoveBlankMarks) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {sj("ねこ"), ""},
      {sj("ね□こ□"), sj("ねこ")},
      {sj("□"), ""},
      {"\x83\x81\xA0", ""},  // メ's trail byte 81 and A0: no □
      {sj("メ□") + "\x82", sj("メ") + "\x82"},
  };
  for (const Case& c : cases) EXPECT_EQ(hex(RemoveBlankMarks(c.in)), hex(c.out)) << hex(c.in);
}

}  // namespace
}  // namespace tavo
