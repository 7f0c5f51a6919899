// The program's CP932 data texts must have the bytes that the files and rows
// hold.
#include <gtest/gtest.h>

#include "dictool/Cp932Texts.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

TEST(Cp932TextsTest, EachTextHasTheBytesOfItsCharacters) {
  const std::pair<std::string_view, const char*> texts[] = {
      {sj::DicHeadingPrefix, "－使用辞書："},   {sj::Dash, "－"},
      {sj::SearchEndRow, "－検索終了－"},       {sj::SearchCancelRow, "－検索中止－"},
      {sj::SearchRowPrefix, "－検索"},         {sj::FullWidthStar, "＊"},
      {sj::SecSearchDics, "検索対象辞書ファイル"}, {sj::SecNotSearchDics, "検索対象外辞書ファイル"},
      {sj::SecWriteDic, "書込対象辞書ファイル"}, {sj::KeyFileCount, "ファイル数"},
      {sj::KeyFileName, "ファイル名"}, {sj::NotReadAtStart, "起動時に読み込めなかったため、上書きしません"},
      {sj::UnstorableValue, "設定ファイルに保存できない値です"},
  };
  for (const auto& [bytes, utf8] : texts) EXPECT_EQ(hex(bytes), hex(test::sj(utf8))) << utf8;
  // "－" is FULLWIDTH HYPHEN-MINUS in CP932 (81 7C), the form the rows use.
  EXPECT_EQ(hex(sj::Dash), "81 7C");
}

}  // namespace
}  // namespace tavo::test
