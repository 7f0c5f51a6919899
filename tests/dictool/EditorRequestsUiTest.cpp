// The braille editor's requests as the main window receives them (posted
// window messages and the command line): what each does, and requests that
// arrive while a page is being filled or a dialog is open.
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "dictool/Cp932Texts.h"
#include "dictool/EditorHandOver.h"
#include "platform/files/Files.h"
#include "platform/system/SysUtils.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/WindowMessage.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

using Ops = std::vector<std::string>;

class EditorRequestTest : public MainWindowTest {
 protected:
  // A dictionary of `fill` lines いぬ and one ねこ, searched.
  void UseDictionary(int fill) {
    std::string bytes;
    for (int i = 0; i < fill; ++i) bytes += sj("いぬ") + "\r\n";
    bytes += sj("ねこ") + "\r\n";
    form->SetSearchDicList({WriteFile("a.dic", bytes)});
  }
  // The editor hands over `utf8` in the word file.
  void HandOver(const std::string& utf8) { WriteFile("__DIC.TMP", sj(utf8) + "\r\n"); }
  void Post(unsigned msg) { ui::PostMessage(form, msg, 0, 0); }
  ::testing::AssertionResult AwaitOps(const Ops& expected) {
    return WaitUntil("the operations", [&] { return ops == expected; });
  }
  std::string LastDicRow() const {
    const std::vector<std::string> rows = form->DicRows();
    return rows.empty() ? std::string() : rows.back();
  }
};

TEST_F(EditorRequestTest, ADictionarySearchRequestSearchesTheHandedWordAndOtherNumbersAreIgnored) {
  UseDictionary(0);
  inside->PageControl1->setCurrentIndex(1);
  // Numbers that are not the editor's requests are dropped, whoever posts them.
  for (unsigned msg : {1530u, 1234u, 0x0114u}) Post(msg);
  HandOver("ねこ");
  Post(UM_DICSEARCH);
  ASSERT_TRUE(AwaitOps({"DicSearch", "DicSearchNextPage"}));
  EXPECT_FALSE(FileExists(dir + "/__DIC.TMP"));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("ねこ"));
  EXPECT_EQ(LastDicRow(), std::string(sj::SearchEndRow));
  EXPECT_EQ(inside->PageControl1->currentIndex(), 0);
  EXPECT_EQ(QApplication::focusWidget(), inside->Grid);

  // Without the word file the box is emptied and the search says so.
  QString text;
  ExpectMessage(ui::IDOK, &text);
  Post(UM_DICSEARCH);
  ASSERT_TRUE(WaitUntil("the message", [&] { return !text.isEmpty(); }));
  EXPECT_EQ(text, QStringLiteral("検索文字列を入力してください。"));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QString());
}

TEST_F(EditorRequestTest, AResetEmptiesTheBoxAndCancelsAPausedSearch) {
  inside->cbSearchWord->setEditText(QStringLiteral("abc"));
  inside->Grid->setFocus();
  Post(UM_SEARCHRESET);
  ASSERT_TRUE(WaitUntil("the box emptied", [&] { return inside->cbSearchWord->currentText().isEmpty(); }));
  EXPECT_TRUE(inside->cbSearchWord->hasFocus());
  EXPECT_TRUE(ops.empty());

  std::string bytes;
  for (int i = 0; i < 80; ++i) bytes += sj("ねこ") + "\r\n";
  form->SetSearchDicList({WriteFile("p.dic", bytes)});
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  form->DicSearch();
  ASSERT_TRUE(form->Session().SearchOpen);
  Post(UM_SEARCHRESET);
  ASSERT_TRUE(WaitUntil("the search cancelled", [&] { return !form->Session().SearchOpen; }));
  EXPECT_EQ(LastDicRow(), std::string(sj::SearchCancelRow));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QString());
}

TEST_F(EditorRequestTest, TheCommandLineAsksForASearchOrEmptiesTheBox) {
  UseDictionary(0);
  for (const char* other : {"1529", "7"}) {
    inside->cbSearchWord->setEditText(QStringLiteral("abc"));
    form->SetCommandLine({QString::fromLatin1(other)});
    inside->FormShow();
    EXPECT_EQ(inside->cbSearchWord->currentText(), QString()) << other;
  }
  test::PumpFor(100);
  EXPECT_TRUE(ops.empty()) << "and nothing else happens";
  form->SetCommandLine({QStringLiteral("1528"), QStringLiteral("ねこ")});
  inside->FormShow();
  ASSERT_TRUE(AwaitOps({"DicSearch", "DicSearchNextPage"}));
  EXPECT_EQ(LastDicRow(), std::string(sj::SearchEndRow));

  // 1535: the search-folder dialog opens as soon as the window shows.
  ops.clear();
  ui::PushModalScript([this](ui::ModalCall& call) {
    EXPECT_EQ(call.form, folder);
    return ui::mrCancel;
  });
  form->SetCommandLine({QStringLiteral("1535"), QStringLiteral("しろ くま")});
  inside->FormShow();
  ASSERT_TRUE(AwaitOps({"GaibuSearch"}));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("しろ くま"));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);

  form->SetCommandLine({QStringLiteral("x1")});
  try {
    inside->FormShow();
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(hex(e.what()), hex(sj("'x1' は整数ではありません")));
  }
}

TEST_F(EditorRequestTest, RequestsDuringAFillWaitForItsEndTheLastWinsAndAResetCancelsAtOnce) {
  UseDictionary(5000);
  HandOver("いぬ");
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  // Queued before the search, so that the fill's first pass of the event
  // loop delivers them.
  Post(UM_GAIBUSEARCH);
  Post(UM_DICSEARCH);
  form->DicSearch();
  EXPECT_EQ(LastDicRow(), std::string(sj::SearchEndRow)) << "the fill ran to its end";
  EXPECT_TRUE(FileExists(dir + "/__DIC.TMP")) << "nothing was carried out during the fill";
  ASSERT_TRUE(AwaitOps({"DicSearch", "DicSearchNextPage", "DicSearch", "DicSearchNextPage"}));
  EXPECT_FALSE(FileExists(dir + "/__DIC.TMP"));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("いぬ"));
  EXPECT_EQ(LastDicRow(), sj("いぬ"));
  EXPECT_TRUE(ui::ModalHistory().empty()) << "the external search was given up for the later request";

  // A reset cancels the fill at once and drops the search kept before it.
  form->SearchEnd();
  ops.clear();
  HandOver("ねこ");
  Post(UM_DICSEARCH);
  Post(UM_SEARCHRESET);
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  form->DicSearch();
  EXPECT_EQ(LastDicRow(), std::string(sj::SearchCancelRow));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QString());
  test::PumpFor(200);
  EXPECT_EQ(ops, (Ops{"DicSearch", "DicSearchNextPage", "SearchCancel"}));
  EXPECT_TRUE(FileExists(dir + "/__DIC.TMP"));
}

TEST_F(EditorRequestTest, ARequestDuringAnOpenDialogIsCarriedOutWhenItCloses) {
  UseDictionary(0);
  HandOver("ねこ");
  // Paused, so that the request ends it first.
  std::string bytes;
  for (int i = 0; i < 80; ++i) bytes += sj("ねこ") + "\r\n";
  std::vector<std::string> dics = form->GetSearchDicList();
  dics.push_back(WriteFile("p.dic", bytes));
  form->SetSearchDicList(dics);
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  form->DicSearch();
  ASSERT_TRUE(form->Session().SearchOpen);
  ops.clear();

  ui::SetModalScripting(false);
  bool keptWhileOpen = false;
  QTimer::singleShot(0, form, [&] {
    TdlgAboutBox* box = nullptr;
    if (!AwaitActiveModal("the about box", box)) return;
    Post(UM_DICSEARCH);
    PumpFor(300);
    keptWhileOpen = ops.empty() && FileExists(dir + "/__DIC.TMP");
    box->reject();
  });
  form->mnuVersionClick();
  ui::SetModalScripting(true);
  EXPECT_TRUE(keptWhileOpen);
  ASSERT_TRUE(AwaitOps({"DicSearch", "DicSearchNextPage"}));
  EXPECT_EQ(LastDicRow(), sj("ねこ")) << "a new search from its first page";
  EXPECT_EQ(inside->Grid->Cell(0, 1), sj("ねこ"));
  EXPECT_NE(inside->Grid->Cell(0, 0).find("a.dic"), std::string::npos);
}

}  // namespace
}  // namespace tavo::test
