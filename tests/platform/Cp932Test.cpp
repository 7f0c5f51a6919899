#include "platform/text/Cp932.h"

#include <gtest/gtest.h>

#include "platform/files/OsPath.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;

struct RoundTrip {
  const char* what;
  std::string cp932;
  std::string utf8;
};

TEST(Cp932, RoundTripsTheCharactersTheProgramDependsOn) {
  const RoundTrip cases[] = {
      {"backslash stays a backslash, not a yen sign", "\x5C", "\\"},
      {"tilde stays a tilde", "~", "~"},
      {"0x5C as trail byte (so)", "\x83\x5C", "\xE3\x82\xBD"},
      {"first cell character", "\xF0\x40", "\xEE\x80\x80"},
      {"last cell character", "\xF0\x80", "\xEE\x80\xBF"},
      {"full-width tilde", "\x81\x60", "\xEF\xBD\x9E"},
      {"square used for spaces", "\x81\xA0", "\xE2\x96\xA1"},
      {"half-width katakana", "\xB1", "\xEF\xBD\xB1"},
      {"NEC special (circled 1)", "\x87\x40", "\xE2\x91\xA0"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto utf8 = Cp932ToUtf8(c.cp932);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(hex(*utf8), hex(c.utf8));
    auto back = Utf8ToCp932(*utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(hex(*back), hex(c.cp932));
  }
}

TEST(Cp932, RefusesWhatHasNoFormInsteadOfAlteringIt) {
  EXPECT_FALSE(Utf8ToCp932("caf\xC3\xA9"));           // é has no CP932 form
  EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80"));      // emoji
  EXPECT_FALSE(Utf8ToCp932("\xE3\x81"));              // truncated UTF-8
  EXPECT_FALSE(Cp932ToUtf8("\x82"));                  // lead byte without trail
  EXPECT_FALSE(Cp932ToUtf8("a\x82\x20z"));            // lead byte, invalid trail
  EXPECT_FALSE(Cp932ToUtf8("\xF0\x7F"));              // the gap of the cell characters
  EXPECT_FALSE(Cp932ToUtf8("\x80"));                  // no character
}

TEST(OsPath, IsTheStrictConversionAndRefusesEmptyAndNul) {
  EXPECT_EQ(ToOsPath(test::sj("/tmp/辞書.dic")).value_or("?"), "/tmp/\xE8\xBE\x9E\xE6\x9B\xB8.dic");
  EXPECT_FALSE(ToOsPath(""));
  EXPECT_FALSE(ToOsPath(std::string("a\0b", 3)));
  EXPECT_FALSE(ToOsPath("/tmp/\x82"));
  EXPECT_FALSE(FromOsPath("/tmp/caf\xC3\xA9"));
  EXPECT_EQ(FromOsPath("/tmp/\xE8\xBE\x9E").value_or("?"), test::sj("/tmp/辞"));
}

}  // namespace
}  // namespace tavo
