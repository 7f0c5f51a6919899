// The external search without a window: documents searched page by page
// into a vector of rows with their records, through the real converter.
#include "dictool/GaibuSearchEngine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "convlib/KVCnv.h"
#include "dictool/GaibuMatch.h"
#include "dictool/PageFill.h"
#include "dictool/PageLine.h"
#include "platform/text/Cp932Lead.h"
#include "tests/convlib/FormLines.h"
#include "tests/convlib/RandomLines.h"
#include "tests/dictool/GaibuReference.h"
#include "tests/dictool/ToldFailures.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "tools/gen/BrailleText.h"
#include "tools/gen/RuteGen.h"

namespace tavo {
namespace {

using test::hex;
using test::sj;

constexpr uint16_t kOption = 0x0100;  // the program's

struct Row {
  std::string Text;
  THitLine Record;
  bool operator==(const Row& o) const {
    return Text == o.Text && Record.ShortPath == o.Record.ShortPath && Record.Page == o.Record.Page &&
           Record.Line == o.Record.Line;
  }
};
using Rows = std::vector<Row>;

std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << hex(r.Text) << " [" << r.Record.ShortPath << " " << r.Record.Page << ":" << r.Record.Line << "]";
}

std::string Document(int linesPerPage, const std::vector<std::string>& lines) {
  std::string bytes = gen::RuteHeader("test", linesPerPage, 1) + "\r\n";
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

class GaibuSearchEngineTest : public ::testing::Test, public RowSink, public test::ToldFailures {
 protected:
  void AddRow(std::string_view text, const THitLine* record) override {
    ASSERT_NE(record, nullptr) << "every row of the external grid has its record";
    rows.push_back({std::string(text), *record});
  }
  std::string Write(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }
  FillEnd Search(const std::vector<std::string>& files, const std::string& word, int visible = 1000) {
    rows.clear();
    engine.Start(files, word, *this);
    EXPECT_EQ(session.GaibuMode, 1);
    FillEnd end;
    do end = FillPage(session, engine, *this, visible, [this] { pump(); });
    while (end == FillEnd::Paused);
    return end;
  }
  static Row Heading(const std::string& path) { return {GaibuHeadingRow(path), {}}; }
  static Row Hit(const std::string& text, const std::string& path, int page, int line) {
    return {text, {path, page, line}};
  }

  // The library's answer to which cells write a character, as the program
  // binds it: the search converts only the lines that can hold its word.
  static std::int32_t SourceCells(const char* character, std::uint8_t* cells, std::uint16_t option) {
    return tavolib::SourceCells(character, tavolib::KeepCells(option), cells) ? 1 : 0;
  }

  test::TempDir dir;
  tavolib::TTavoCnv converter;
  SearchSession session;
  int conversions = 0;
  GaibuSearchEngine engine{session, *this, LineConverter([this](const char* line) {
                                             ++conversions;
                                             return converter.ConvertCString(line, kOption);
                                           },
                                           SourceCells, kOption)};
  std::function<void()> pump = [] {};
  Rows rows;
};

TEST_F(GaibuSearchEngineTest, HitsAreNumberedByPageAndLine) {
  // Braille: A あ, B い, I お, P ね, [ こ; a blank cell is □.
  std::vector<std::string> lines(18, "A");
  lines.push_back("P[ B");  // line 19 of 18 a page: page 2, line 1
  const std::string doc = Write("a.rut", Document(18, lines));
  const std::string flat = Write("b.RUT", Document(0, {"B", "IP["}));  // no paging: a line a page
  EXPECT_EQ(Search({doc, flat}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, (Rows{Heading(doc), Hit(sj("002:01 ねこ□い"), doc, 2, 1), Heading(flat),
                        Hit(sj("002:01 おねこ"), flat, 2, 1)}));
  EXPECT_FALSE(session.FileOpen || session.RutFile) << "the last document is closed";
  EXPECT_EQ(told, std::vector<std::string>{});
}

TEST_F(GaibuSearchEngineTest, AWordIsFoundAcrossALineEndOnlyWhereItBeginsInTheFirstLine) {
  struct Case {
    std::vector<std::string> lines;
    std::string word;
    std::vector<std::pair<std::string, int>> rows;  // each hit row and its record's line
  } cases[] = {
      // Joined with one blank cell: shown with the first line's number, the
      // record holding the second's (the last line read).
      {{"A P", "[ I"}, sj("ね□こ"), {{sj("001:01 あ□ね□こ□お"), 2}}},
      // Wholly in the second line, which is the last: its own row.
      {{"A P", "[ I"}, sj("こ□お"), {{sj("001:02 こ□お"), 2}}},
      // The same where the first line ends in blank cells, which the join cuts.
      {{"A P  ", "[ I"}, sj("こ□お"), {{sj("001:02 こ□お"), 2}}},
      {{"A P  ", "[ I"}, sj("ね□こ"), {{sj("001:01 あ□ね□こ□お"), 2}}},
      // A line that begins with a blank cell starts a new word: no join.
      {{"A P", " [ I"}, sj("ね□こ"), {}},
      // A joined hit that needs the whole joined line: a separator in a number
      // reads as ， only when three digits follow on the line, here in the next.
      {{"#A'", "BCD"}, sj("１，"), {{sj("001:01 ") + "\xF0\x43" + sj("１，□いうる"), 2}}},
      // A word across each of two line ends in a row: the second line of the
      // first join is the first line of the next.
      {{"A B", "P [ B", "P A"}, sj("い□ね"), {{sj("001:01 あ□い□ね□こ□い"), 2}, {sj("001:02 ね□こ□い□ね□あ"), 3}}},
      // ... and a word wholly in it is found there too, after the joined row.
      {{"A P", "[ P [", "A"}, sj("ね□こ"), {{sj("001:01 あ□ね□こ□ね□こ"), 2}, {sj("001:02 こ□ね□こ"), 2}}},
      // A line with a hit of its own is joined with nothing.
      {{"A P A", "P"}, sj("あ□ね"), {{sj("001:01 あ□ね□あ"), 1}}},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const std::string& l : c.lines) shown += l + "|";
    SCOPED_TRACE(hex(c.word) + " in " + shown);
    const std::string doc = Write("j.rut", Document(18, c.lines));
    EXPECT_EQ(Search({doc}, c.word), FillEnd::Ended);
    Rows expected{Heading(doc)};
    for (const auto& [row, line] : c.rows) expected.push_back(Hit(row, doc, 1, line));
    EXPECT_EQ(rows, expected);
  }
}

TEST_F(GaibuSearchEngineTest, RowsAgreeWithThePlainReadingOfGeneratedDocuments) {
  // Running text as documents hold it, and lines of every rule's forms
  // (numbers, brackets, quotations...) with and without blanks at the ends.
  std::mt19937 rng(7);
  std::vector<std::vector<std::string>> documents(2);
  gen::BrailleText text(3);
  test::FormLines forms(4);
  test::RandomLines random(5);
  for (int i = 0; i < 400; ++i) {
    text.NextLine(documents[0].emplace_back());
    std::string line = i % 2 ? forms.Line(6 + rng() % 30) : random.Line(30);
    if (rng() % 4 == 0) line.insert(0, " ");
    if (rng() % 4 == 0) line += "  ";
    documents[1].push_back(line);
  }
  const auto convert = [this](const std::string& line) { return std::string(converter.Convert(line, kOption)); };
  int joinedHits = 0, hits = 0;
  for (size_t d = 0; d < documents.size(); ++d) {
    const std::string bytes = Document(20, documents[d]);
    const std::string path = Write("g" + std::to_string(d) + ".rut", bytes);
    for (int w = 0; w < 60; ++w) {
      // A piece of the kana of two joined lines, whole characters.
      std::string joined;
      const size_t i = rng() % (documents[d].size() - 1);
      if (!JoinLines(documents[d][i], documents[d][i + 1], joined)) continue;
      const std::string kana = convert(joined);
      if (kana.size() < 4) continue;
      const size_t from = 2 * (rng() % (kana.size() / 2 - 1));
      const std::string word = kana.substr(from, 2 * (2 + rng() % 4));
      SCOPED_TRACE(hex(word));
      ASSERT_EQ(Search({path}, word), FillEnd::Ended);
      Rows expected{Heading(path)};
      for (const test::ReferenceHit& h : test::ReferenceGaibuHits(bytes, word, 20, convert))
        expected.push_back(Hit(h.Text, path, h.Page, h.Line));
      ASSERT_EQ(rows, expected);
      hits += static_cast<int>(rows.size()) - 1;
      // A joined row is numbered by its first line, its record by the second.
      for (const Row& r : rows)
        joinedHits += r.Record.Line != 0 && !r.Text.starts_with(PageLinePrefix({r.Record.Page, r.Record.Line}));
    }
  }
  EXPECT_GT(hits, 100);
  EXPECT_GT(joinedHits, 10);
}

TEST_F(GaibuSearchEngineTest, AWordAcrossEveryLineEndIsFoundInLongDocuments) {
  // "A P" is あ□ね: "ね□あ" lies across every end of such a line before
  // another; "P A P" holds it itself, and " P" begins a new word. Documents
  // of thousands of such lines, mixed at random, hit at every line end,
  // wherever the search takes up lines in one go.
  std::mt19937 rng(9);
  const std::string word = sj("ね□あ");
  const auto convert = [this](const std::string& line) { return std::string(converter.Convert(line, kOption)); };
  for (int d = 0; d < 4; ++d) {
    std::vector<std::string> lines;
    for (int i = 0; i < 2500 + d * 700; ++i) {
      const unsigned k = rng() % 16;
      lines.push_back(k < 11 ? "A P" : k < 15 ? "P A P" : " P");
    }
    const std::string bytes = Document(20, lines);
    const std::string path = Write("long" + std::to_string(d) + ".rut", bytes);
    ASSERT_EQ(Search({path}, word), FillEnd::Ended);
    Rows expected{Heading(path)};
    for (const test::ReferenceHit& h : test::ReferenceGaibuHits(bytes, word, 20, convert))
      expected.push_back(Hit(h.Text, path, h.Page, h.Line));
    ASSERT_GT(expected.size(), lines.size() / 2);
    ASSERT_EQ(rows, expected);
  }
}

TEST_F(GaibuSearchEngineTest, OnlyLinesThatCanHoldTheWordAreConverted) {
  // M is ぬ, and no other cell writes it; "P[" is ねこ. Of 3,000 lines, the
  // 30 that hold M are converted, and with a word across a blank cell also
  // the lines before them that do not begin a new word, for their joins.
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) lines.push_back(i % 100 == 7 ? "A M" : i % 3 ? "P[ A" : " P[");
  const std::string doc = Write("m.rut", Document(1000, lines));
  conversions = 0;
  ASSERT_EQ(Search({doc}, sj("ぬ")), FillEnd::Ended);
  EXPECT_EQ(rows.size(), 31u);
  EXPECT_EQ(conversions, 30);
  conversions = 0;
  ASSERT_EQ(Search({doc}, sj("あ□ぬ")), FillEnd::Ended);
  EXPECT_EQ(rows.size(), 31u);
  EXPECT_LE(conversions, 30 + 30 + 30) << "each line with M, the one before, and their joins";
}

TEST_F(GaibuSearchEngineTest, TheConverterReadsTheEndOfALineAsABlankCell) {
  // What lets the search leave a joined line unconverted (JoinFilter): the
  // kana of a line joined with the next begins with the line's own kana and
  // "□", a line's trailing blanks are "□" each, and all kana is two-byte
  // characters.
  test::RandomLines random(11);
  test::FormLines forms(12);
  const auto isCharacters = [](std::string_view k) {
    for (size_t i = 0; i < k.size(); i += 2)
      if (i + 1 == k.size() || !IsLeadByte(static_cast<unsigned char>(k[i]))) return false;
    return true;
  };
  for (int i = 0; i < 100000; ++i) {
    std::string head = i % 2 ? random.Line(24) : forms.Line(1 + i % 24);
    std::string next = i % 3 ? random.Line(24) : forms.Line(1 + i % 20);
    head.erase(head.find_last_not_of(' ') + 1);
    if (next.starts_with(' ') || ReadsOnIntoNextLine(head)) continue;
    const std::string kana(converter.Convert(head, kOption));
    ASSERT_TRUE(isCharacters(kana)) << hex(head);
    const std::string blanks(converter.Convert(head + "  ", kOption));
    ASSERT_EQ(hex(blanks), hex(kana + sj("□□"))) << hex(head);
    const std::string joined(converter.Convert(head + " " + next, kOption));
    ASSERT_TRUE(isCharacters(joined)) << hex(head + " " + next);
    ASSERT_TRUE(joined.starts_with(kana + sj("□"))) << hex(head) << " | " << hex(next);
  }
}

TEST_F(GaibuSearchEngineTest, DocumentsThatAreGoneOrCannotBeReadAreToldAndPassedOverAndTheSearchEnds) {
  // The word on the last line of a document, then documents that cannot be
  // searched: no row of the one before appears under them.
  const std::string first = Write("a1.rut", Document(18, {"A", "P["}));
  const std::string empty = Write("a2.rut", "");
  const std::string fifo = dir / "fifo.rut";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = dir / "folder.rut";
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  const std::string text = Write("text.rut", std::string(600, 'P') + "\r\nP[\r\n");  // no RUTE header
  const std::string cut = Write("cut.rut", Document(18, {"P["}).substr(0, 300));
  const std::string gone = dir / "gone.rut";
  // Number fields left blank read as 0: a line a page.
  std::string blankHeader = Document(18, {"A", "P["});
  blankHeader.replace(504, 8, std::string("    \0\0  ", 8));
  const std::string blank = Write("blank.rut", blankHeader);
  const std::string good = Write("good.rut", Document(18, {"P["}));
  const std::string unreadable = "/proc/self/mem";  // opens, but every read fails
  EXPECT_EQ(Search({first, empty, fifo, folder, text, cut, gone, blank, unreadable, good}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, (Rows{Heading(first), Hit(sj("001:02 ねこ"), first, 1, 2), Heading(empty), Heading(fifo),
                        Heading(folder), Heading(text), Heading(cut), Heading(blank),
                        Hit(sj("002:01 ねこ"), blank, 2, 1), Heading(unreadable), Heading(good),
                        Hit(sj("001:01 ねこ"), good, 1, 1)}));
  EXPECT_EQ(told, (std::vector<std::string>{
                      "unreadable " + empty + " cut-short", "unreadable " + fifo + " " + std::to_string(EINVAL),
                      "unreadable " + folder + " " + std::to_string(EISDIR), "unreadable " + text + " not-a-number",
                      "unreadable " + cut + " cut-short", "missing " + gone,
                      "unreadable " + unreadable + " " + std::to_string(EIO)}));
  EXPECT_FALSE(session.FileOpen || session.RutFile) << "no file or header reader is left";

  // A new search whose first document is gone, then one that cannot be
  // read: nothing of the search before is shown again.
  told.clear();
  EXPECT_EQ(Search({gone, empty, good}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, (Rows{Heading(empty), Heading(good), Hit(sj("001:01 ねこ"), good, 1, 1)}));
  EXPECT_EQ(told, (std::vector<std::string>{"missing " + gone, "unreadable " + empty + " cut-short"}));
  told.clear();
  EXPECT_EQ(Search({gone}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, Rows{});
  EXPECT_EQ(told, std::vector<std::string>{"missing " + gone});
}

TEST_F(GaibuSearchEngineTest, ALineLongerThanTheSearchReadsIsToldAndTheLinesAfterItAreSearched) {
  // The word after the cut of line 2 is not searched, which is told once
  // for the document with the first such line; line 4 is searched.
  const std::string longLine = std::string(ScanLimits{}.LineCut + 10, 'A') + " P[";
  const std::string doc = Write("long.rut", Document(2, {"A", longLine, longLine, "P["}));
  EXPECT_EQ(Search({doc}, sj("ねこ")), FillEnd::Ended);
  EXPECT_EQ(rows, (Rows{Heading(doc), Hit(sj("002:02 ねこ"), doc, 2, 2)}));
  EXPECT_EQ(told, std::vector<std::string>{"cut " + doc + " 1:2"});
}

TEST_F(GaibuSearchEngineTest, ACancelDuringAFillStopsItBeforeTheNextLine) {
  const std::string doc = Write("long.rut", Document(18, std::vector<std::string>(10000, "A")));
  int pumps = 0;
  pump = [&] { session.CancelRequest = ++pumps == 50; };
  EXPECT_EQ(Search({doc}, sj("ねこ")), FillEnd::CancelRequested);
  EXPECT_EQ(pumps, 50) << "nothing more is read after the cancel";
  EXPECT_EQ(session.LineCount, 48) << "the header's line and 48 braille lines, one per pump";
  EXPECT_EQ(rows, Rows{Heading(doc)});
  EXPECT_TRUE(session.SearchOpen) << "the caller cancels the search";
  EXPECT_FALSE(session.PageFilling);
}

}  // namespace
}  // namespace tavo
