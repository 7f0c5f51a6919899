#include "platform/text/Cp932.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/text/Cp932Name.h"
#include "platform/text/OsPath.h"
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

TEST(Cp932, TellsUtf8TextFromCp932TextAndFromNeither) {
  const struct {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"ASCII", "[a]\r\nk=v\r\n", TextEncoding::kCp932},
      {"empty", "", TextEncoding::kCp932},
      {"CP932 kanji", test::sj("[検索対象辞書ファイル]\r\n"), TextEncoding::kCp932},
      {"CP932 half-width katakana", "\xB1\xB2", TextEncoding::kCp932},
      {"cell characters", "\xF0\x40\xF0\x80", TextEncoding::kCp932},
      // Valid CP932 as well: E3 83 / 91 E3 / 82 B9 / ...
      {"UTF-8 that also pairs into CP932", "[\xE3\x83\x91\xE3\x82\xB9]\r\nTAVO=/opt/x\r\n", TextEncoding::kUtf8},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[a]\r\n", TextEncoding::kUtf8},
      {"UTF-8 beyond CP932", "\xF0\x9F\x98\x80", TextEncoding::kUtf8},
      {"two-byte UTF-8 that is no CP932", "\xC2\x80", TextEncoding::kUtf8},
      {"CP932 half-width katakana that make two-byte UTF-8", "\xC3\xA9", TextEncoding::kCp932},
      {"an overlong UTF-8 form", "\xC0\x80", TextEncoding::kNeither},
      {"a UTF-8 surrogate", "\xED\xA0\x80", TextEncoding::kNeither},
      {"CP932 that is no UTF-8", "\x82\xA0\xE3\x81", TextEncoding::kCp932},
      {"cut in both", "\x82\xA0\xE3", TextEncoding::kNeither},
      {"no character in either", "a\xFF", TextEncoding::kNeither},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << c.what;
}

TEST(OsPath, IsTheStrictConversionAndRefusesEmptyAndNul) {
  EXPECT_EQ(ToOsPath(test::sj("/tmp/辞書.dic")).value_or("?"), "/tmp/\xE8\xBE\x9E\xE6\x9B\xB8.dic");
  EXPECT_FALSE(ToOsPath(""));
  EXPECT_FALSE(ToOsPath(std::string("a\0b", 3)));
  EXPECT_FALSE(ToOsPath("/tmp/\x82"));
  EXPECT_FALSE(FromOsPath("/tmp/caf\xC3\xA9"));
  EXPECT_EQ(FromOsPath("/tmp/\xE8\xBE\x9E").value_or("?"), test::sj("/tmp/辞"));
}

TEST(OsPath, EveryNameOnDiskHasAFormThatReadsBackToItsBytes) {
  struct Case {
    const char* what;
    std::string bytes;
    bool plain;  // the form is the name as CP932 text
  };
  const Case cases[] = {
      {"ASCII", "a b.RUT", true},
      {"kanji", "\xE6\xBC\xA2\xE5\xAD\x97.txt", true},
      {"FULLWIDTH TILDE", "\xEF\xBD\x9E", true},
      {"a braille cell character", "\xEE\x80\x80", true},
      {"Korean", "\xED\x95\x9C\xEA\xB5\xAD.rut", false},
      {"an emoji", "\xF0\x9F\x98\x80", false},
      {"e acute", "caf\xC3\xA9", false},
      {"no UTF-8", "bad\xFF\x80", false},
      {"WAVE DASH, whose CP932 form reads back as FULLWIDTH TILDE", "a\xE3\x80\x9C", false},
      {"YEN SIGN, whose CP932 form would be a backslash", "\xC2\xA5", false},
      {"a character of the escape row itself", "\xEE\x9A\x9C", false},
  };
  for (const Case& c : cases) {
    const std::optional<std::string> form = FromOsPathEscaped(c.bytes);
    ASSERT_TRUE(form) << c.what;
    EXPECT_EQ(ToOsPath(*form).value_or("?"), c.bytes) << c.what << " " << hex(*form);
    EXPECT_EQ(IsPlainCp932Name(*form), c.plain) << c.what;
    EXPECT_EQ(FromOsPath(c.bytes).has_value(), c.plain) << c.what;
  }
  EXPECT_EQ(*FromOsPathEscaped("\xED\x95\x9C"), "\xF9\xAE\xF9\x55\xF9\x5C");  // one escape per byte
  EXPECT_FALSE(FromOsPathEscaped(std::string("a\0b", 3)));
  // The rest of the escape row, and a lone lead byte, are no form of a name.
  EXPECT_FALSE(ToOsPath("/x\xF9\xC1"));
  EXPECT_FALSE(ToOsPath("/x\xF9"));

  // Any bytes at all: the form reads back to them, and a plain form is the
  // CP932 text of them.
  std::mt19937 random(28);
  const unsigned char alphabet[] = {'a', '.', 0x5C, 0x7E, 0x80, 0x9C, 0xA5, 0xBF, 0xC0, 0xC2, 0xC3, 0xE3,
                                    0xE6, 0xED, 0xEE, 0xEF, 0xF0, 0xF4, 0xF9, 0xFF, 0x81, 0x95, 0xBD, 0x9A};
  for (int n = 0; n < 20000; ++n) {
    std::string bytes;
    const int length = 1 + static_cast<int>(random() % 9);
    for (int i = 0; i < length; ++i) bytes += static_cast<char>(alphabet[random() % sizeof alphabet]);
    const std::string form = *FromOsPathEscaped(bytes);
    ASSERT_EQ(ToOsPath(form).value_or("?"), bytes) << hex(bytes);
    if (IsPlainCp932Name(form)) {
      ASSERT_EQ(Cp932ToUtf8(form).value_or("?"), bytes) << hex(bytes);
    }
  }
}

}  // namespace
}  // namespace tavo
