// The block scan against the plain line-by-line reading: the same lines, the
// same hits, whatever the block size, across cancels and cut lines.
#include "dictool/DicScanner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/dictool/DicReference.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::sj;
using Lines = std::vector<std::string>;

constexpr std::size_t kCut = 32;
constexpr std::size_t kBlockSizes[] = {1, 2, 3, 5, 8, 13, 64, 4096};

class DicScannerTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = dir / "d.dic";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Every hit of `word`, calling again after each cancel that `poll` asks for.
  Lines Hits(const std::string& path, const std::string& word, std::size_t block, const DicScanner::Poll& poll) {
    DicScanner scanner({block, kCut});
    EXPECT_EQ(scanner.Open(path), 0);
    const DicQuery query(word);
    bool inGroup = false;
    Lines hits;
    std::string_view line;
    for (ScanResult r; (r = scanner.NextHit(query, inGroup, poll, line)) != ScanResult::End;) {
      EXPECT_NE(r, ScanResult::Error);
      if (r == ScanResult::Error) break;
      if (r == ScanResult::Line) hits.emplace_back(line);
    }
    return hits;
  }
  test::TempDir dir;
};

const DicScanner::Poll kNever = [] { return false; };

TEST_F(DicScannerTest, FindsWhatTheGrammarFindsOnEveryLine) {
  const std::string longTail = std::string(40, 'x');
  struct Case {
    std::string bytes, word;
    Lines hits;
  } cases[] = {
      {sj("# ねこ\r\nメモ%ねこ\r\nねこ%メモ\r\nねこ:ネコ\r\n*どうぶつ\r\n+こねこ\r\nabc/ねこ\r\n\r\nまねこ"), sj("ねこ"),
       {sj("ねこ%メモ"), sj("+こねこ"), sj("abc/ねこ"), sj("まねこ")}},
      // LF and CR LF lines, a group that matches, 0x1A ending the data.
      {sj("*どうぶつ\n+ねこ\r\n+,いぬ\n*くだもの\r\n+りんご\nどうぶつ□えん\n") + "\x1A" + sj("どうぶつ\r\n"),
       sj("どうぶつ"), {sj("+ねこ"), sj("+,いぬ"), sj("どうぶつ□えん")}},
      // Group mode: only members of groups that hold the mark as written.
      {sj("*どうぶつ\r\n+ねこ\r\nどうぶつ\r\n*＊どうぶつ\r\n+いぬ\r\n"), sj("*どうぶつ"), {sj("+ねこ")}},
      {sj("*どうぶつ\r\n+ねこ\r\nどうぶつ\r\n*＊どうぶつ\r\n+いぬ\r\n"), sj("＊どうぶつ"), {sj("+いぬ")}},
      {"zz/ab%q\nab:\r\n", "/ab", {"zz/ab%q"}},
      // The first occurrence on a trail byte hides a later real one.
      {"\x83\x41\r\n\x83\x41" "A\r\nA\x83\x41", "/A", {"\x83\x41" "A", "A\x83\x41"}},
      // Cut lines: the word beyond the cut is not seen; a cut line that holds
      // it is a hit shown cut; the line after a cut one is read whole.
      {longTail + sj("ねこ") + "\r\n" + sj("ねこ") + longTail + "\r\n" + sj("ねこ") + "\r\n", sj("ねこ"),
       {sj("ねこ") + std::string(kCut - 4, 'x'), sj("ねこ")}},
      // A matched group runs across a cut line and ends at a group line.
      {sj("*ねこ\r\n+") + longTail + "\r\n+a\r\n*x\r\n+b", sj("ねこ"), {"+" + std::string(kCut - 1, 'x'), "+a"}},
      {sj("ねこ\r\n"), "/", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(test::hex(c.bytes));
    EXPECT_EQ(test::ReferenceHits(c.bytes, c.word, kCut), c.hits);
    const std::string path = Write(c.bytes);
    for (std::size_t block : kBlockSizes) EXPECT_EQ(Hits(path, c.word, block, kNever), c.hits) << block;
  }
}

TEST_F(DicScannerTest, CutsLinesAsTheReaderDoes) {
  const std::string bytes = "a\r\nb\n\r\nc\rd\n" + std::string(40, 'y') + "\ne\r\x1A" "f\n";
  const Lines expected = {"a", "b", "", "c\rd", std::string(kCut, 'y'), "e\r"};
  EXPECT_EQ(test::ReferenceLines(bytes, kCut), expected);
  const std::string path = Write(bytes);
  for (std::size_t block : kBlockSizes) {
    DicScanner scanner({block, kCut});
    ASSERT_EQ(scanner.Open(path), 0);
    Lines lines;
    std::string_view line;
    while (scanner.NextLine(kNever, line) == ScanResult::Line) lines.emplace_back(line);
    EXPECT_EQ(lines, expected) << block;
  }
}

TEST_F(DicScannerTest, ACancelStopsTheScanAndTheNextCallGoesOnWhereItStopped) {
  std::string bytes;
  for (int i = 0; i < 200; ++i)
    bytes += sj(i % 3 == 0 ? "ねこ" : i % 3 == 1 ? "ねこ:" : "*ねこ\r\n+a") + std::string(static_cast<std::size_t>(i % 50), 'z') +
             "\r\n";
  const std::string path = Write(bytes);
  const Lines expected = test::ReferenceHits(bytes, sj("ねこ"), kCut);
  ASSERT_GT(expected.size(), 100u);
  for (int every : {2, 3, 7}) {
    int calls = 0;
    int cancels = 0;
    const DicScanner::Poll poll = [&] {
      const bool stop = ++calls % every == 0;
      cancels += stop;
      return stop;
    };
    EXPECT_EQ(Hits(path, sj("ねこ"), 16, poll), expected) << every;
    EXPECT_GT(cancels, 20) << every;
  }
}

}  // namespace
}  // namespace tavo
