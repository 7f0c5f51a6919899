// The files and texts the tool and the braille editor hand each other.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "dictool/EditorHandOver.h"
#include "platform/files/Files.h"
#include "platform/system/SysUtils.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

TEST(EditorHandOverTest, TheWordFileGivesItsFirstLineOnceAndAnUnreadableOneStays) {
  TempDir dir;
  const std::string word = sj("ねこ じた");
  for (const char* end : {"\r\n", "\n", "\x1A"}) {
    const std::string path = dir.Write("__DIC.TMP", word + end + "second line\r\n");
    EXPECT_EQ(hex(ReadDicTmpWord(path)), hex(word)) << hex(end);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ReadDicTmpWord(path), "");  // gone: nothing the second time
  }
  // One that exists but cannot be read (here a fifo, never waited on) is
  // left for the editor to see.
  const std::string fifo = dir / "__DIC.TMP";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadDicTmpWord(fifo), "");
  EXPECT_TRUE(FileExists(fifo));
  // It lies in the settings folder, where the editor writes it.
  EXPECT_EQ(DicTmpPath(), WindowsFolder() + "/__DIC.TMP");
}

TEST(EditorHandOverTest, TheHitFileGetsItsThreeKeysInOrderAndKeepsEverythingElse) {
  TempDir dir;
  EnsureWindowsFolder();
  const std::string path = WindowsFolder() + "/__TAVO.TMP";
  const std::string other = sj("[たぼー]\r\n設定=1\r\n");
  ASSERT_EQ(WriteFileAtomic(path, other), 0);
  WriteHitFile(THitLine{sj("/文書/a b.rut"), 2, 17});
  std::string text;
  ASSERT_EQ(ReadWholeFile(path, text), 0);
  EXPECT_EQ(hex(text), hex(other + sj("[検索ヒット行情報]\r\nファイル名=/文書/a b.rut\r\nページ=2\r\n行=17\r\n")));
  // A second hit overwrites the keys where they stand.
  WriteHitFile(THitLine{"/b.rut", 1, 1});
  ASSERT_EQ(ReadWholeFile(path, text), 0);
  EXPECT_EQ(hex(text), hex(other + sj("[検索ヒット行情報]\r\nファイル名=/b.rut\r\nページ=1\r\n行=1\r\n")));

  // A file that cannot be replaced: the failure names it.
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  try {
    WriteHitFile(THitLine{"/c.rut", 1, 1});
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find(path + sj(" に書き込めません")), std::string::npos) << e.what();
  }
}

TEST(EditorHandOverTest, AnEditorCaptionBeginsWithTheEditorsNameAndHoldsTheWholePathExactly) {
  const std::string path = sj("/home/u/文書/c.rut");
  for (const std::string& caption : {sj("たぼー - ") + path, sj("たぼー - [") + path + "] 3/12", sj("たぼー") + path,
                                     sj("たぼー - ") + path + "*", sj("たぼー「") + path + sj("」"),
                                     sj("たぼー - /home/u/文書/a b.rut - ") + path})
    EXPECT_TRUE(IsEditorCaption(caption, path)) << caption;
  for (const std::string& caption : {
           sj("たぼー - /home/u/文書/C.rut"),       // another file: Linux names are case-sensitive
           sj("たぼー - /HOME/U/文書/C.RUT"),
           sj("たぼー - /x/home/u/文書/c.rut"),     // the path inside a longer one
           sj("たぼー - /home/u/文書/c.rut.bak"),   // ... or a longer name
           sj("たぼー - /home/u/文書/other.rut"),   // another document
           sj("メモ帳 - ") + path,                  // another program
           sj("[たぼー] ") + path,                  // the name not first
           std::string()})
    EXPECT_FALSE(IsEditorCaption(caption, path)) << caption;
  // "ア" is 83 41: its trail byte is no "A", so the search must not take it
  // for the start of a path.
  EXPECT_FALSE(IsEditorCaption(sj("たぼー ア/a.rut"), "A/a.rut"));
  EXPECT_TRUE(IsEditorCaption(sj("たぼー ア /a.rut"), "/a.rut"));
  EXPECT_FALSE(IsEditorCaption(sj("たぼー - ") + path, ""));
}

TEST(EditorHandOverTest, TheEditorsArgumentAndTheCommandLine) {
  EXPECT_EQ(EditorArgument(THitLine{"/a b/it's \"x\",1.rut", 3, 12}), "/a b/it's \"x\",1.rut,3,12");
  EXPECT_EQ(CommandLineRequestOf("1528"), CommandLineRequest::DicSearch);
  EXPECT_EQ(CommandLineRequestOf("1535"), CommandLineRequest::GaibuSearch);
  EXPECT_EQ(CommandLineRequestOf("1529"), CommandLineRequest::EmptyBox);
  EXPECT_EQ(CommandLineRequestOf("7"), CommandLineRequest::EmptyBox);
  try {
    CommandLineRequestOf("abc");
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(hex(e.what()), hex(sj("'abc' は整数ではありません")));
  }
}

}  // namespace
}  // namespace tavo::test
