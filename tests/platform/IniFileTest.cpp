#include "platform/files/IniFile.h"

#include <gtest/gtest.h>

#include "tests/platform/TestFiles.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::hex;
using test::ReadBytes;
using test::sj;
using test::TempDir;
using test::WriteBytes;

TEST(IniFile, NumbersAndBooleansFollowTheSettingsRules) {
  TempDir dir;
  WriteBytes(dir / "t.ini",
             "[n]\r\ndec=12\r\nneg=-3\r\nhex=0x1F\r\nHEX=0X1f\r\nshort=0x\r\nbadhex=0xZZ\r\nword=abc\r\n"
             "dollar=$10\r\nempty=\r\npadded=  7  \r\nhuge=99999999999\r\n"
             "[b]\r\none=1\r\ntwo=2\r\nminus=-1\r\nzero=0\r\nx=x\r\n");
  TIniFile ini(dir / "t.ini");
  const struct {
    const char* key;
    int32_t expected;
  } numbers[] = {
      {"dec", 12},    {"neg", -3},      {"hex", 31},   {"HEX", 31},    {"short", -99}, {"badhex", -99},
      {"word", -99},  {"dollar", 16},   {"empty", -99}, {"padded", 7}, {"huge", -99},  {"missing", -99},
  };
  for (const auto& c : numbers) EXPECT_EQ(ini.ReadInteger("n", c.key, -99), c.expected) << c.key;

  EXPECT_TRUE(ini.ReadBool("b", "one", false));
  EXPECT_TRUE(ini.ReadBool("b", "two", false));
  EXPECT_TRUE(ini.ReadBool("b", "minus", false));
  EXPECT_FALSE(ini.ReadBool("b", "zero", true));
  EXPECT_TRUE(ini.ReadBool("b", "x", true));
  EXPECT_FALSE(ini.ReadBool("b", "x", false));
  EXPECT_TRUE(ini.ReadBool("b", "missing", true));
  EXPECT_FALSE(ini.ReadBool("none", "missing", false));
}

TEST(IniFile, WritesDecimalAndOneOrZeroWithoutCaching) {
  TempDir dir;
  TIniFile ini("tavodic.ini");
  ini.WriteInteger(sj("デスクトップ"), "Top", -5);
  ini.WriteBool(sj("ヒント表示"), "Hint", true);
  ini.WriteBool(sj("外部ファイル選択"), sj("下層フォルダ検索フラグ"), false);
  ini.WriteString(sj("フォント"), "Name", sj("ＭＳ ゴシック"));
  EXPECT_EQ(hex(ReadBytes(dir / "windir/tavodic.ini")),
            hex(sj("[デスクトップ]\r\nTop=-5\r\n[ヒント表示]\r\nHint=1\r\n"
                   "[外部ファイル選択]\r\n下層フォルダ検索フラグ=0\r\n[フォント]\r\nName=ＭＳ ゴシック\r\n")));

  TIniFile other("tavodic.ini");
  other.WriteInteger(sj("デスクトップ"), "Top", 128);
  EXPECT_EQ(ini.ReadInteger(sj("デスクトップ"), "Top", 0), 128);
  EXPECT_EQ(ini.ReadString(sj("フォント"), "Name", ""), sj("ＭＳ ゴシック"));
}

TEST(IniFile, AFailedWriteThrowsWithTheFileName) {
  TempDir dir;
  const std::string name = dir.path() + sj("/無い/設定.ini");
  TIniFile ini(name);
  try {
    ini.WriteInteger("s", "k", 1);
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(hex(e.what()), hex(name + sj(" に書き込めません")));
  }

  WriteBytes(dir / "file", "");
  ::setenv("TAVO_WINDIR", (dir / "file/sub").c_str(), 1);  // cannot be created
  TIniFile bare("tavodic.ini");
  try {
    bare.WriteBool("s", "k", true);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(hex(e.what()), hex(sj("tavodic.ini に書き込めません")));
  }
  EXPECT_THROW(TIniFile(dir / "ok.ini").WriteString("s", "k", "two\r\nlines"), EIniFileException);
}

}  // namespace
}  // namespace tavo
