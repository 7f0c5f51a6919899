#include "platform/text/BrailleGlyph.h"

#include <gtest/gtest.h>

namespace tavo {
namespace {

TEST(BrailleGlyph, NabccCellsHaveTheirDots) {
  struct {
    unsigned char cell;
    int dots;
  } const cases[] = {
      {' ', 0x00}, {'!', 0x2E}, {'#', 0x3C}, {'=', 0x3F}, {'0', 0x34}, {'9', 0x14},
      {'@', 0x08}, {'W', 0x3A}, {'\\', 0x33}, {']', 0x3B}, {'_', 0x38},
  };
  for (const auto& c : cases) EXPECT_EQ(NabccDots(c.cell), c.dots) << c.cell;
  EXPECT_EQ(NabccDots(0x1F), -1);
  EXPECT_EQ(NabccDots(0x60), -1);  // lower case is not part of the code
}

TEST(BrailleGlyph, EveryCellIsDistinct) {
  bool seen[64] = {};
  for (unsigned char c = 0x20; c <= 0x5F; ++c) {
    int dots = NabccDots(c);
    ASSERT_GE(dots, 0);
    ASSERT_LT(dots, 64);
    EXPECT_FALSE(seen[dots]) << "two bytes share the cell of " << c;
    seen[dots] = true;
  }
}

TEST(BrailleGlyph, CellCharactersSkipF07F) {
  EXPECT_EQ(CellCharTrailToNabcc(0x40), ' ');
  EXPECT_EQ(CellCharTrailToNabcc(0x52), '2');
  EXPECT_EQ(CellCharTrailToNabcc(0x7E), '^');
  EXPECT_EQ(CellCharTrailToNabcc(0x7F), -1);
  EXPECT_EQ(CellCharTrailToNabcc(0x80), '_');
  EXPECT_EQ(CellCharTrailToNabcc(0x3F), -1);
  EXPECT_EQ(CellCharTrailToNabcc(0x81), -1);

  EXPECT_EQ(CellCharToBraillePattern(0x40), U'\u2800');
  EXPECT_EQ(CellCharToBraillePattern(0x42), U'\u2810');  // '"', dot 5
  EXPECT_EQ(CellCharToBraillePattern(0x60), U'\u2808');  // '@', dot 4
  EXPECT_EQ(CellCharToBraillePattern(0x80), U'\u2838');  // '_', dots 456
  EXPECT_EQ(CellCharToBraillePattern(0x7F), U'\0');
}

}  // namespace
}  // namespace tavo
