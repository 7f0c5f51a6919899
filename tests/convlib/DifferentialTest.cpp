// The converter against a frozen copy of itself from before its inner loop
// was reworked (tests/convlib/reference/): both must give the same bytes and
// the same length for every line, in both KeepCells modes. The lines are
// random bytes weighted towards the prefix, digit and letter cells, dense
// runs of rule cells, lines built from every rule's forms, the running text
// of generated documents, and now and then a long line or a NUL inside one.
//
// The number of lines is TAVO_CONVLIB_DIFF_LINES from the environment, else
// the build's default (10^6, fewer under the sanitizers). The full run:
//   TAVO_CONVLIB_DIFF_LINES=10000000 build-test/bin/convlib_diff_tests
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convlib/KVCnv.h"
#include "tests/convlib/ConvTestText.h"
#include "tests/convlib/FormLines.h"
#include "tests/convlib/RandomLines.h"
#include "tests/convlib/reference/KVCnv.h"
#include "tools/gen/BrailleText.h"

namespace tavo::test {
namespace {

long LinesToCompare() {
  if (const char* v = std::getenv("TAVO_CONVLIB_DIFF_LINES"); v != nullptr && *v != '\0') {
    return std::strtol(v, nullptr, 10);
  }
  return TAVO_CONVLIB_DIFF_LINES_DEFAULT;
}

// Every kind of line in turn.
class Lines {
 public:
  std::string Next() {
    std::string line;
    switch (kind_++ % 6) {
      case 0: line = random_.Line(48); break;
      case 1: line = Dense(random_.Between(1, 24)); break;
      case 2: line = forms_.Line(40); break;
      case 3: line = forms_.Line(static_cast<size_t>(random_.Between(1, 80))); break;
      case 4: document_.NextLine(line); break;
      default:
        line = random_.Between(0, 99) == 0 ? random_.Line(2000) : random_.Line(16);
        break;
    }
    if (!line.empty() && random_.Between(0, 199) == 0) {
      line[static_cast<size_t>(random_.Between(0, static_cast<int>(line.size()) - 1))] = '\0';
    }
    return line;
  }

 private:
  // Cells that start rules or end them, packed together.
  std::string Dense(int length) {
    std::string line(static_cast<size_t>(length), ' ');
    for (char& c : line) c = random_.OneOf("\"#,-.134579;@[^_8'02 AXLOPB");
    return line;
  }

  RandomLines random_{20240901};
  FormLines forms_{7};
  gen::BrailleText document_{1};
  unsigned kind_ = 0;
};

TEST(DifferentialTest, SameBytesAsTheFrozenConverter) {
  const long count = LinesToCompare();
  Lines lines;
  tavolib::TTavoCnv converter;
  reference::TTavoCnv frozen;
  std::string got;
  std::string want;
  for (long i = 0; i < count; ++i) {
    const std::string line = lines.Next();
    // Both modes, with and without the high byte that nothing reads.
    const uint16_t high = (i & 1) != 0 ? 0x0100 : 0;
    for (uint16_t option : {uint16_t(high | 0), uint16_t(high | 1)}) {
      const int32_t gotLength = converter.CnvText(line, got, option);
      const int32_t wantLength = frozen.CnvText(line, want, option);
      if (got != want || gotLength != wantLength) {
        FAIL() << "line " << i << " \"" << Printable(line) << "\" option " << option
               << "\n  got:  " << hex(got) << " (length " << gotLength << ")"
               << "\n  want: " << hex(want) << " (length " << wantLength << ")";
      }
    }
  }
  RecordProperty("lines", std::to_string(count));
}

}  // namespace
}  // namespace tavo::test
