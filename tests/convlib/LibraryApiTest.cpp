// The exported functions as a caller of libTavo32Lib sees them: the
// converter's lifetime, the result text the library owns, and arguments the
// dictionary tool never passes but another caller might.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "convlib/Tavo32Lib.h"
#include "tests/convlib/ConvTestText.h"
#include "tests/convlib/RandomLines.h"

namespace tavo::test {
namespace {

// Converts through the library; the result is copied at once, as callers must.
std::string Api(const char* source, uint16_t option, int32_t* length = nullptr) {
  char* result = nullptr;
  const int32_t n = CnvNABCCtoKANA(source, &result, option);
  if (length != nullptr) *length = n;
  return result != nullptr ? std::string(result) : std::string("(null)");
}

TEST(LibraryLifetimeTest, NoConverterBeforeInitializeOrAfterTerminate) {
  char* result = nullptr;
  EXPECT_EQ(CnvNABCCtoKANA("AB", &result, 0), 0);
  ASSERT_NE(result, nullptr);
  EXPECT_STREQ(result, "");
  CnvInit();

  EXPECT_NE(TavoLibInitialize(), 0);
  EXPECT_EQ(CnvNABCCtoKANA("AB", &result, 0), 4);
  EXPECT_EQ(hex(result), hex(Out(u8"あい")));

  EXPECT_NE(TavoLibTerminate(), 0);
  result = nullptr;
  EXPECT_EQ(CnvNABCCtoKANA("AB", &result, 0), 0);
  ASSERT_NE(result, nullptr);
  EXPECT_STREQ(result, "");
  CnvInit();
  EXPECT_NE(TavoLibTerminate(), 0);  // with no converter left
}

TEST(LibraryLifetimeTest, SecondInitializeKeepsTheConverter) {
  ASSERT_NE(TavoLibInitialize(), 0);
  char* result = nullptr;
  CnvNABCCtoKANA("\"*", &result, 0);
  EXPECT_NE(TavoLibInitialize(), 0);
  // The converter, and with it the last result, is still the same.
  EXPECT_EQ(hex(result), hex(Out(u8"が")));
  EXPECT_EQ(hex(Api("@*", 0)), hex(Out(u8"きゃ")));
  TavoLibTerminate();
}

class LibraryTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(TavoLibInitialize(), 0); }
  void TearDown() override { TavoLibTerminate(); }
};

TEST_F(LibraryTest, ConvertsALine) {
  int32_t length = 0;
  EXPECT_EQ(hex(Api("\"*@* #AB", 0x0100, &length)), hex(Out(u8"がきゃ□{#}１２")));
  EXPECT_EQ(length, 14);
  EXPECT_EQ(hex(Api("\"*@* #AB", 0x0001, &length)), hex(Out(u8"{\"}がきゃ□{#}１２")));
  EXPECT_EQ(length, 16);
}

// Which cells write a character: its own cell, or the prefix of a pair; a
// source that is no one character, or no room for the answer, tells nothing.
TEST(LibrarySourceCellsTest, NamesTheCellsThatWriteACharacter) {
  uint8_t cells[256];
  ASSERT_EQ(CnvSourceCells("\x82\xCA", cells, 0x0100), 1);  // ぬ
  EXPECT_EQ(cells[static_cast<unsigned char>('M')], 1);
  EXPECT_EQ(cells[static_cast<unsigned char>('A')], 0);
  ASSERT_EQ(CnvSourceCells("\x82\xAE", cells, 0x0100), 1);  // ぐ, of dots 5 before く
  EXPECT_EQ(cells[static_cast<unsigned char>('"')], 1);
  EXPECT_EQ(CnvSourceCells("\x82\xCA\x82\xA2", cells, 0x0100), 0);
  EXPECT_EQ(std::count(cells, cells + 256, 1), 256);
  EXPECT_EQ(CnvSourceCells(nullptr, cells, 0x0100), 0);
  EXPECT_EQ(CnvSourceCells("\x82\xCA", nullptr, 0x0100), 0);
}

TEST_F(LibraryTest, EmptyAndNullSources) {
  char* result = nullptr;
  EXPECT_EQ(CnvNABCCtoKANA("", &result, 0), 0);
  ASSERT_NE(result, nullptr);
  EXPECT_STREQ(result, "");
  result = nullptr;
  EXPECT_EQ(CnvNABCCtoKANA(nullptr, &result, 0), 0);
  ASSERT_NE(result, nullptr);
  EXPECT_STREQ(result, "");
}

TEST_F(LibraryTest, NullResultAddressGetsNothing) {
  EXPECT_EQ(CnvNABCCtoKANA("AB", nullptr, 0), 4);
  EXPECT_EQ(hex(Api("AB", 0)), hex(Out(u8"あい")));
}

TEST_F(LibraryTest, ResultPointerOnEntryIsNeitherReadNorWritten) {
  char mine[] = "mine";
  char* result = mine;
  CnvNABCCtoKANA("A", &result, 0);
  EXPECT_NE(result, mine);
  EXPECT_STREQ(mine, "mine");
  EXPECT_EQ(hex(result), hex(Out(u8"あ")));
}

TEST_F(LibraryTest, HighByteOfTheOptionIsIgnored) {
  RandomLines random(3);
  for (int i = 0; i < 500; ++i) {
    const std::string line = random.Line(40);
    ASSERT_EQ(hex(Api(line.c_str(), 0x0100)), hex(Api(line.c_str(), 0x0000))) << Printable(line);
    ASSERT_EQ(hex(Api(line.c_str(), 0xFF01)), hex(Api(line.c_str(), 0x0001))) << Printable(line);
  }
}

TEST_F(LibraryTest, LengthIsTheResultsByteLength) {
  RandomLines random(5);
  for (int i = 0; i < 2000; ++i) {
    const std::string line = random.Line(64);
    char* result = nullptr;
    const int32_t length = CnvNABCCtoKANA(line.c_str(), &result, static_cast<uint16_t>(i & 1));
    ASSERT_EQ(static_cast<size_t>(length), std::strlen(result)) << Printable(line);
  }
}

// The caller may hand the last result straight back in as the source.
TEST_F(LibraryTest, LastResultAsTheSource) {
  RandomLines random(19);
  for (int i = 0; i < 2000; ++i) {
    const std::string line = random.Line(64);
    const uint16_t option = static_cast<uint16_t>(i & 1);
    char* result = nullptr;
    CnvNABCCtoKANA(line.c_str(), &result, option);
    const std::string copy = result;
    char* again = nullptr;
    const int32_t length = CnvNABCCtoKANA(result, &again, option);
    const std::string got(again, static_cast<size_t>(length));
    ASSERT_EQ(hex(got), hex(Api(copy.c_str(), option))) << Printable(line);
  }
}

// Every conversion starts afresh: the lines converted in between, and CnvInit,
// change nothing.
TEST_F(LibraryTest, SameLineSameResult) {
  RandomLines random(23);
  for (int i = 0; i < 1000; ++i) {
    const std::string line = random.Line(48);
    const uint16_t option = static_cast<uint16_t>(i & 1);
    const std::string first = Api(line.c_str(), option);
    Api(random.Line(48).c_str(), static_cast<uint16_t>(option ^ 1));
    if (i % 3 == 0) CnvInit();
    ASSERT_EQ(hex(Api(line.c_str(), option)), hex(first)) << Printable(line);
  }
}

}  // namespace
}  // namespace tavo::test
