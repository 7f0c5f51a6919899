// The reader of RUTE documents' lines against the plain reading
// (DicReference.h): the same lines, each ending in a NUL where it lies, the
// same cut lines and the lines that hold both marks, whatever the block size
// and however often a cancel comes.
#include "dictool/BrailleLines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "dictool/CpuFeatures.h"
#include "tests/dictool/DicReference.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

constexpr std::size_t kCut = 32;

struct Line {
  std::string Text;
  bool Cut = false;
  bool Marked = false;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
  return os << test::hex(l.Text) << (l.Cut ? " cut" : "") << (l.Marked ? " marked" : "");
}

// What the reader must give: the reference's lines, cut where the whole
// line (up to its LF, less a CR before it) was longer than kCut, marked
// where the line as given holds both '#' and '\''.
std::vector<Line> Expected(const std::string& bytes) {
  std::vector<Line> out;
  for (const std::string& l : test::ReferenceLines(bytes, kCut))
    out.push_back({l, false, l.find('#') != std::string::npos && l.find('\'') != std::string::npos});
  std::string data = bytes.substr(0, bytes.find('\x1A'));
  std::size_t i = 0;
  for (std::size_t at = 0; at < data.size() && i < out.size(); ++i) {
    std::size_t end = data.find('\n', at);
    std::size_t length = (end == std::string::npos ? data.size() : end) - at;
    if (end != std::string::npos && length > 0 && data[end - 1] == '\r') --length;
    out[i].Cut = length > kCut;
    at = end == std::string::npos ? data.size() : end + 1;
  }
  return out;
}

TEST(BrailleLinesTest, GivesThePlainReadingsLinesInEveryBlockSizeAcrossCancels) {
  const std::string pieces[] = {"A", "P[", " ", "#", "'", "\r\n", "\n", "\r", "\x1A", std::string("\0", 1),
                                std::string(20, 'C'), std::string(40, 'D'), "#A'BC"};
  std::mt19937 rng(3);
  test::TempDir dir;
  const std::string path = dir / "d.rut";
  int cancels = 0, cut = 0, marked = 0;
  for (int round = 0; round < 310; ++round) {
    std::string bytes;
    // The last rounds far longer than the reader's pass over line ends
    // (some KiB at a time), so that lines and marks run across its seams.
    const int n = static_cast<int>(round < 300 ? rng() % 60 : 4000 + rng() % 2000);
    for (int i = 0; i < n; ++i) {
      const std::size_t k = rng() % std::size(pieces);
      // 0x1A ends the data: seldom, so that most documents are read far.
      if (k == 8 && rng() % (n < 60 ? 8 : 4000) != 0) continue;
      bytes += pieces[k];
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const std::vector<Line> expected = Expected(bytes);
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{64}, std::size_t{4096}, std::size_t{1} << 16,
          (std::size_t{1} << 16) + 1}) {
      // The processor's wide comparisons and the plain loop, by turns.
      CpuFeaturesAllowed() = block % 2 == 0;
      BrailleLines reader({block, kCut});
      reader.SetLineMarks('#', '\'');
      ASSERT_EQ(reader.Open(path), 0);
      const unsigned every = 2 + rng() % 4;  // a poll that always stops lets nothing be read
      unsigned polls = 0;
      const DicScanner::Poll poll = [&] { return ++polls % every == 0; };
      std::vector<Line> lines;
      std::string_view line;
      for (ScanResult r; (r = reader.Next(poll, line)) != ScanResult::End;) {
        ASSERT_NE(r, ScanResult::Error);
        if (r == ScanResult::Cancel) {
          ++cancels;
          continue;  // asked again, it goes on where it stopped
        }
        ASSERT_EQ(line.data()[line.size()], '\0') << "the line ends in a NUL where it lies";
        lines.push_back({std::string(line), reader.LineWasCut(), reader.LineHoldsMarks()});
        cut += reader.LineWasCut();
        marked += reader.LineHoldsMarks();
      }
      ASSERT_EQ(lines, expected) << test::hex(bytes) << ", blocks of " << block;
    }
  }
  CpuFeaturesAllowed() = true;
  EXPECT_GT(cancels, 1000);
  EXPECT_GT(cut, 100);
  EXPECT_GT(marked, 100);
}

}  // namespace
}  // namespace tavo
