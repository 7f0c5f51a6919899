#include "dictool/DicLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::sj;

// The hit lines of one dictionary (UTF-8 in, UTF-8 lines out for readable
// failures), the way a search runs through it.
std::vector<std::string> Hits(const std::string& word, const std::vector<std::string>& lines) {
  const DicPattern p = PrepareDicPattern(sj(word));
  bool inMatchedGroup = false;
  std::vector<std::string> hits;
  for (const std::string& line : lines)
    if (IsDicHit(sj(line), p, inMatchedGroup)) hits.push_back(line);
  return hits;
}

using Lines = std::vector<std::string>;

TEST(DicLineTest, PreparesPatternAndMode) {
  struct Case {
    const char* word;
    const char* pattern;
    bool raw, group;
  };
  const Case cases[] = {
      {"ねこ", "ねこ", false, false}, {"/ab", "ab", true, false},   {"/", "", true, false},
      {"*どうぶつ", "*どうぶつ", false, true}, {"＊どうぶつ", "＊どうぶつ", false, true},
      {"ね*", "ね*", false, false},
  };
  for (const Case& c : cases) {
    const DicPattern p = PrepareDicPattern(sj(c.word));
    EXPECT_EQ(p.Pattern, sj(c.pattern)) << c.word;
    EXPECT_EQ(p.PatternColon, sj(c.pattern) + ":") << c.word;
    EXPECT_EQ(p.RawMode, c.raw) << c.word;
    EXPECT_EQ(p.GroupMode, c.group) << c.word;
  }
}

TEST(DicLineTest, LineGrammar) {
  struct Case {
    const char* what;
    const char* word;
    Lines lines, hits;
  };
  const Lines zoo = {"*どうぶつ", "+ねこ", "+,いぬ", "ねこ", "*しょくぶつ", "+ばら", "+,ゆり", "どうぶつ"};
  const Case cases[] = {
      {"comment cut", "ねこ", {"メモ%ねこ", "ねこ%メモ"}, {"ねこ%メモ"}},
      {"pattern across the comment mark", "こ%メ", {"ねこ%メモ"}, {}},
      {"skipped lines", "ねこ", {"#ねこ", "", "%ねこ", "  ねこ"}, {"  ねこ"}},
      {"members of a matching group", "どうぶつ", zoo, {"+ねこ", "+,いぬ", "どうぶつ"}},
      {"non-matching group", "ねこ", zoo, {"+ねこ", "ねこ"}},
      {"later group line ends a match", "どうぶつ", {"*どうぶつ", "+ねこ", "*くさ", "+,ねこ", "+ねこ"},
       {"+ねこ"}},
      {"group mode", "*どうぶつ", zoo, {"+ねこ", "+,いぬ"}},
      {"full-width group mode", "＊どうぶつ", {"*どうぶつ", "+ねこ", "*＊どうぶつ", "+いぬ", "＊どうぶつ"},
       {"+いぬ"}},
      {"raw mode", "/ab", {"xaby", "a b", "/ab"}, {"xaby", "/ab"}},
      {"slash alone", "/", {"abc", "/", "*/", "+x"}, {}},
      {"colon rule", "ねこ", {"ねこ:ねこ", "ねこ", "いぬ:ねこ", "ねこ :"}, {"ねこ", "いぬ:ねこ", "ねこ :"}},
      // ア is 83 41: only an 'A' that begins a character counts, and so does
      // only such an "A:".
      {"trail byte", "A", {"アA", "ア", "Aア:"}, {"アA", "Aア:"}},
      {"trail byte in group line", "A", {"*ア", "+,x", "*A", "+,y"}, {"+,y"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Hits(c.word, c.lines), c.hits) << c.what;
}

TEST(DicLineTest, HideLineCode) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {sj("abc/ねこ"), sj("    ねこ")},
      {sj("ねこ%メモ"), sj("ねこ メモ")},
      {"a/b/c", "  b/c"},  // the walk ends at the first '/'
      {"ab", "  "},
      {sj("ア/x"), sj("ア x")},  // ア's trail byte 'A' is no single byte
      {sj("－使用辞書：/d/a.dic－"), sj("－使用辞書：/d/a.dic－")},
      {sj("－検索終了－"), sj("－検索終了－")},
      {"a\x82", " \x82"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(hex(HideLineCode(c.in)), hex(c.out)) << hex(c.in);
}

TEST(DicLineTest, IsRutFile) {
  struct Case {
    std::string path;
    bool rut;
  };
  const Case cases[] = {
      {"/d/a.RUT", true},      {"/d/a.rut", true},   {"/d/a.Rut", true},  {sj("/d/点字.rut"), true},
      {"/d/a.rut.txt", false}, {"/d/a.ru", false},   {"/d/rut", false},   {"/d.rut/a", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsRutFile(c.path), c.rut) << c.path;
}

}  // namespace
}  // namespace tavo
