// The dictionary search without a window: a session filled page by page into
// a vector, with the failures it tells recorded.
#include "dictool/DicSearchEngine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "dictool/Cp932Texts.h"
#include "dictool/PageFill.h"
#include "tests/dictool/ToldFailures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::sj;
using Rows = std::vector<std::string>;

// Stands in for the braille converter: a braille line's letters in lower
// case, so that only converted text can match a lower-case word. The result
// lives until the next call, as the library's does.
std::string_view Lower(const char* line) {
  static std::string out;
  out = line;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string RuteDocument(const char* linesPerPage, const std::vector<std::string>& lines) {
  std::string header(512, ' ');
  header.replace(504, 4, "0001");
  header.replace(508, 2, "01");
  header.replace(510, 2, linesPerPage);
  std::string bytes = header + "NEKO\r\n";  // the first text line is no braille line
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

class DicSearchEngineTest : public ::testing::Test, public RowSink, public test::ToldFailures {
 protected:
  void AddRow(std::string_view text, const THitLine* record) override {
    EXPECT_EQ(record, nullptr);
    rows.emplace_back(text);
  }
  std::string Write(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }
  // Starts a search and fills pages of `visible` rows until it ends; the
  // rows each page added are in `pages`.
  FillEnd Search(const std::vector<std::string>& files, const std::string& word, int visible = 1000) {
    rows.clear();
    pages.clear();
    if (!engine.FirstFileExists(files)) return FillEnd::Busy;
    engine.Start(files, word, *this);
    FillEnd end;
    do {
      const std::size_t before = rows.size();
      end = FillPage(session, engine, *this, visible, [this] { pump(); });
      pages.push_back(static_cast<int>(rows.size() - before));
    } while (end == FillEnd::Paused);
    return end;
  }
  static std::string Heading(const std::string& path) { return DicHeadingRow(path); }

  test::TempDir dir;
  SearchSession session;
  DicSearchEngine engine{session, *this, Lower};
  std::function<void()> pump = [] {};
  Rows rows;
  std::vector<int> pages;
};

TEST_F(DicSearchEngineTest, RowsOfASearchOverSeveralDictionaries) {
  const std::string group = Write("group.dic", sj("*どうぶつ\r\n"));
  const std::string after = Write("after.dic", sj("+りんご\r\nどうぶつ\r\n"));
  const std::string code = Write("code.txt", sj("abc/ねこ□じゃらし\r\n"));
  const std::string doc = Write("doc.RUT", RuteDocument("20", {"NE", "NEKO", "X", "X", "X", "X", "X", "X", "X", "X",
                                                               "X", "X", "X", "X", "X", "X", "X", "X", "X", "X", "NEKO NE"}));
  const std::string flat = Write("flat.rut", RuteDocument(" 0", {"X", "X", "NEKO"}));
  struct Case {
    std::vector<std::string> files;
    std::string word;
    Rows rows;
  } cases[] = {
      // A group does not run on into the next dictionary.
      {{group, after}, sj("どうぶつ"), {Heading(group), Heading(after), sj("どうぶつ")}},
      // The code part of a line is blanked, except in raw mode.
      {{code}, sj("ねこ"), {Heading(code), "    " + sj("ねこ□じゃらし")}},
      {{code}, sj("/ねこ"), {Heading(code), sj("abc/ねこ□じゃらし")}},
      // RUTE documents: converted lines, numbered by page and line after the
      // first text line; a header without lines per page numbers pages only.
      {{doc, flat}, "neko", {Heading(doc), "001:02 neko", "002:01 neko ne", Heading(flat), "003:01 neko"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(Search(c.files, c.word), FillEnd::Ended);
    EXPECT_EQ(rows, c.rows);
    EXPECT_TRUE(engine.EveryFileRead());
    EXPECT_FALSE(session.FileOpen || session.RutFile) << "the last file is closed";
    session.EndSearch();
  }
  EXPECT_EQ(told, Rows{});
}

TEST_F(DicSearchEngineTest, PagesHoldAScreenfulAndTheNextGoesOnWhereTheLastStopped) {
  std::string bytes;
  Rows expected;
  for (int i = 0; i < 100; ++i) {
    bytes += sj("ねこ") + std::to_string(i) + "\r\n" + sj("いぬ\r\n");
    expected.push_back(sj("ねこ") + std::string(std::to_string(i).size(), ' '));  // the digits blanked
  }
  std::vector<std::string> files = {Write("a.dic", bytes)};
  expected.insert(expected.begin(), Heading(files[0]));
  EXPECT_EQ(Search(files, sj("ねこ"), 10), FillEnd::Ended);
  // The first page: the heading and 9 hits; every later page adds 9 below
  // the last row of the page before, which stays as its top row.
  EXPECT_EQ(pages, (std::vector<int>{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 1}));
  EXPECT_EQ(rows, expected);
  EXPECT_TRUE(session.HitFound);
}

TEST_F(DicSearchEngineTest, DictionariesThatCannotBeReadAreToldAndPassedOver) {
  const std::string fifo = dir / "fifo.dic";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = dir / "folder.dic";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  // A line of 100 MB without a line end, the word at its start and end.
  const std::string huge = dir / "huge.dic";
  {
    std::ofstream(huge, std::ios::binary) << sj("ねこ");
    ASSERT_EQ(truncate(huge.c_str(), 100 << 20), 0);
    std::ofstream(huge, std::ios::binary | std::ios::app) << sj("ねこ");
  }
  const std::string damaged = Write("damaged.rut", RuteDocument("x1", {"NEKO"}));
  const std::string good = Write("good.dic", sj("ねこ\r\n"));
  const std::vector<std::string> files = {fifo, folder, "/proc/self/mem", huge, damaged, good};
  int pumps = 0;
  pump = [&] { ++pumps; };
  EXPECT_EQ(Search(files, sj("ねこ")), FillEnd::Ended);
  Rows expected;
  for (const std::string& f : files) expected.push_back(Heading(f));
  expected.insert(expected.begin() + 4, sj("ねこ") + std::string(64 * 1024 - 4, ' '));  // cut, code part blanked
  expected.push_back(sj("ねこ"));
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(told.size(), 4u);
  EXPECT_EQ(told[0], "unreadable " + fifo + " " + std::to_string(EINVAL));
  EXPECT_EQ(told[1], "unreadable " + folder + " " + std::to_string(EISDIR));
  EXPECT_EQ(told[2], "unreadable /proc/self/mem " + std::to_string(EIO));
  EXPECT_EQ(told[3], "unreadable " + damaged + " not-a-number");
  EXPECT_FALSE(engine.EveryFileRead()) << "no offer to register a word some dictionaries were not read for";
  // The long line was read block by block with the window pumped between,
  // into a buffer that did not grow.
  EXPECT_GT(pumps, 300);
  EXPECT_EQ(session.SearchFile.Capacity(), ScanLimits{}.LineCut + ScanLimits{}.BlockSize);

  // A dictionary that is not there ends the search.
  EXPECT_EQ(Search({good, dir / "gone.dic", good}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, (Rows{Heading(good), sj("ねこ")}));
  EXPECT_EQ(told.back(), "missing " + dir / "gone.dic");
  EXPECT_FALSE(engine.EveryFileRead());
  told.clear();
  EXPECT_EQ(Search({dir / "gone.dic"}, sj("ねこ")), FillEnd::Busy) << "nothing starts";
  EXPECT_EQ(told, Rows{"missing " + dir / "gone.dic"});
}

TEST_F(DicSearchEngineTest, ACancelStopsTheFillBeforeTheNextLine) {
  const std::string huge = dir / "huge.dic";
  ASSERT_EQ(truncate(Write("huge.dic", "x").c_str(), 100 << 20), 0);
  const std::string good = Write("good.dic", sj("ねこ\r\n"));
  int pumps = 0;
  pump = [&] { session.CancelRequest = ++pumps == 10; };
  EXPECT_EQ(Search({huge, good}, sj("ねこ")), FillEnd::CancelRequested);
  EXPECT_EQ(pumps, 10) << "nothing more is read after the cancel";
  EXPECT_EQ(rows, Rows{Heading(huge)});
  EXPECT_TRUE(session.SearchOpen) << "the caller cancels the search";
  EXPECT_FALSE(session.PageFilling);
}

}  // namespace
}  // namespace tavo
