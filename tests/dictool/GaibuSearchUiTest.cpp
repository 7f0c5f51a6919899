// The external search as a user runs it: a word typed, Shift+Enter, the
// folder typed into the dialog's path box, OK, Enter for the next page;
// what the window adds to the search (rows with their records, paging,
// status texts, messages, cancelling during a fill).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include "dictool/Cp932Texts.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/PageLine.h"
#include "dictool/TavoLibBinding.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestText.h"
#include "tools/gen/RuteGen.h"

namespace tavo::test {
namespace {

class GaibuSearchTest : public MainWindowTest {
 protected:
  // A folder of documents with `lines` braille lines each, in `docs`.
  std::string Documents(const std::vector<std::vector<std::string>>& documents) {
    const std::string folder = dir + "/docs";
    std::filesystem::create_directories(folder + "/sub");
    for (size_t i = 0; i < documents.size(); ++i) {
      std::string bytes = gen::RuteHeader("t", 18, 1) + "\r\n";
      for (const std::string& l : documents[i]) bytes += l + "\r\n";
      WriteFile((i % 2 ? "docs/sub/" : "docs/") + std::to_string(i) + ".rut", bytes);
    }
    return folder;
  }
  // Types the word, presses Shift+Enter and answers the folder dialog with
  // `folder` typed into its path box and the subfolder box checked; the
  // message box that follows, when `message` is given, is answered OK and
  // its text kept there.
  void Search(const std::string& utf8Word, const std::string& folderPath, QString* message = nullptr) {
    ui::PushModalScript([this, folderPath](ui::ModalCall& call) {
      EXPECT_EQ(call.form, folder);
      folder->ComboBox1->setEditText(QString::fromUtf8(folderPath.c_str()));
      folder->CheckBox1->setChecked(true);
      folder->BitBtn1->click();
      return ui::mrOk;
    });
    if (message != nullptr) ExpectMessage(ui::IDOK, message);
    inside->cbSearchWord->setEditText(QString::fromUtf8(utf8Word.c_str()));
    inside->cbSearchWord->setFocus();
    QTest::keyClick(inside->cbSearchWord, Qt::Key_Return, Qt::ShiftModifier);
    QCoreApplication::processEvents();
  }
  // The filled rows of the external grid (CP932); every one has its record.
  std::vector<std::string> Rows() const {
    const std::vector<std::string> rows = form->GaibuRows();
    EXPECT_EQ(form->Hits().size(), rows.size());
    return rows;
  }
  QString Status() const { return inside->StatusPanel2->text(); }
  static std::string Heading(const std::string& path) { return GaibuHeadingRow(path); }
};

// The program's searches ask the library it bound which cells write a
// character, so the external search passes over lines without them.
TEST(TavoLibBindingTest, TheBoundConverterTellsWhichCellsWriteACharacter) {
  std::uint8_t cells[256];
  ASSERT_TRUE(BoundLineConverter().SourceCells("\x82\xCA", cells));  // ぬ, of M alone
  EXPECT_EQ(cells[static_cast<unsigned char>('M')], 1);
  EXPECT_EQ(cells[static_cast<unsigned char>('A')], 0);
}

TEST_F(GaibuSearchTest, ASearchOverAFolderAndItsSubfoldersShowsHitsWithTheirRecords) {
  const std::string docs = Documents({{"A", "P[ A"}, {"A P", "[ B"}});
  Search("ねこ", docs);
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(docs + "/0.rut"), sj("001:02 ねこ□あ"), Heading(docs + "/sub/1.rut"),
                                              std::string(sj::SearchEndRow)}));
  const THitLine hit = form->Hits()[1];
  EXPECT_EQ(hit.ShortPath, docs + "/0.rut");
  EXPECT_EQ(hit.Page, 1);
  EXPECT_EQ(hit.Line, 2);
  for (int r : {0, 2, 3}) EXPECT_EQ(form->Hits()[r].ShortPath, "") << r;
  EXPECT_EQ(Status(), QStringLiteral("検索終了"));
  EXPECT_EQ(inside->PageControl1->currentIndex(), 1);
  EXPECT_EQ(form->GetLastFolder(), docs);
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_EQ(form->Session().GaibuMode, 0);
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());
  EXPECT_TRUE(inside->btnSearch->isEnabled());
  EXPECT_FALSE(inside->btnSearchCancel->isEnabled());
  EXPECT_EQ(ui::ModalHistory().size(), 1u) << "only the folder dialog was shown";

  // A word across a line end, found by joining the lines; nothing found.
  Search("ね こ", docs);
  EXPECT_EQ(Rows()[2], sj("001:01 あ□ね□こ□い"));
  EXPECT_EQ(form->Hits()[2].Line, 2) << "the record holds the last line read";
  QString text;
  Search("いぬ", docs, &text);
  EXPECT_EQ(text, QStringLiteral("見つかりませんでした。"));
  EXPECT_EQ(ui::ModalHistory().back().flags, 0x30u);
  EXPECT_EQ(Rows().back(), std::string(sj::SearchEndRow));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(GaibuSearchTest, PagesHoldAScreenfulAndEnterInTheGridFillsTheNext) {
  Documents({std::vector<std::string>(200, "P[")});
  Search("ねこ", dir + "/docs");
  ASSERT_TRUE(form->Session().SearchOpen);
  EXPECT_EQ(Status(), QStringLiteral("Enterキーで続行"));
  const size_t first = Rows().size();
  EXPECT_LT(first, 100u);
  EXPECT_EQ(form->focusWidget(), inside->Grid2);
  QTest::keyClick(inside->Grid2, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(Rows().size(), 2 * first - 1) << "the last row of a page is the next page's top row";
  EXPECT_EQ(inside->Grid2->TopRow(), static_cast<int>(first) - 1);
  EXPECT_EQ(Rows()[first], PageLinePrefix(PageAndLine(static_cast<int>(first), 18)) + sj("ねこ"));
  // Esc cancels the paused search with a row of its own and its record.
  QTest::keyClick(inside->Grid2, Qt::Key_Escape);
  EXPECT_EQ(Rows().back(), std::string(sj::SearchCancelRow));
  EXPECT_EQ(Status(), QStringLiteral("検索中止"));
  EXPECT_FALSE(form->Session().SearchOpen);
}

TEST_F(GaibuSearchTest, ACancelArrivingDuringAFillStopsItAfterTheCurrentLine) {
  Documents({std::vector<std::string>(20000, "A"), {"P["}});
  // The click comes with the fill's first pass of the event loop.
  QTimer clicker;
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    if (!form->Session().PageFilling) return;
    clicker.stop();
    inside->btnSearchCancel->click();
  });
  clicker.start(0);
  Search("ねこ", dir + "/docs");
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dir + "/docs/0.rut"), std::string(sj::SearchCancelRow)}));
  EXPECT_TRUE(form->Session().Cancelled);
  EXPECT_FALSE(form->Session().FileOpen);
  EXPECT_FALSE(form->Session().RutFile);
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());
}

TEST_F(GaibuSearchTest, FoldersWithoutDocumentsAndCancelledDialogsChangeNothing) {
  const std::string docs = Documents({{"P["}});
  Search("ねこ", docs);
  const auto before = Rows();
  ASSERT_EQ(before.size(), 3u);
  ui::ClearModalHistory();

  QString text;
  Search("ねこ", docs + "/sub", &text);
  EXPECT_EQ(text, QStringLiteral("RUTファイルがありません。"));
  EXPECT_EQ(ui::ModalHistory().back().flags, 0x30u);
  ui::PushModalScript([](ui::ModalCall&) { return ui::mrCancel; });
  inside->cbSearchWord->setFocus();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Rows(), before);
  EXPECT_EQ(form->GetLastFolder(), docs + "/sub");

  // A document whose name has no Shift-JIS form is told at the end.
  WriteFile("docs/\xF0\x9F\x98\x80.rut", "");
  Search("ねこ", docs, &text);
  EXPECT_EQ(Rows(), before);
  EXPECT_TRUE(text.contains(QStringLiteral("Shift-JIS で書けない RUT ファイルが 1 個"))) << text.toStdString();
  EXPECT_FALSE(inside->btnSearchCancel->isEnabled());
  EXPECT_TRUE(inside->btnSearch->isEnabled());
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(GaibuSearchTest, WhatCouldNotBeSearchedIsToldInOneBoxAndTheSearchEndsByItself) {
  // The word on the last line of a1, then an empty document and one that is
  // no RUTE document, then a good one; and a folder that cannot be listed.
  const std::string a1 = gen::RuteHeader("t", 18, 1) + "\r\nA\r\nP[\r\n";
  const std::string docs = dir + "/docs";
  std::filesystem::create_directories(docs);
  WriteFile("docs/a1.rut", a1);
  WriteFile("docs/a2.rut", "");
  WriteFile("docs/a3.rut", std::string(600, 'P') + "\r\nP[\r\n");
  WriteFile("docs/a4.rut", gen::RuteHeader("t", 18, 1) + "\r\nP[\r\n");
  const std::string deep = MakeFolderTooDeepToList(docs);
  QString text;
  Search("ねこ", docs, &text);
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(docs + "/a1.rut"), sj("001:02 ねこ"), Heading(docs + "/a2.rut"),
                                              Heading(docs + "/a3.rut"), Heading(docs + "/a4.rut"), sj("001:01 ねこ"),
                                              std::string(sj::SearchEndRow)}));
  const QString file = QStringLiteral("ファイル ") + QString::fromUtf8(docs.c_str());
  EXPECT_EQ(text.toStdString(), (QStringLiteral("検索できなかったファイルがあります。\n") + file +
                      QStringLiteral("/a2.rut　は RUTE 文書ではありません（512 バイトの見出しが途中で終わっています）。\n") +
                      file + QStringLiteral("/a3.rut　は RUTE 文書ではありません（見出しの数値の欄が数字ではありません）。\n") +
                      QStringLiteral("フォルダー ") + QString::fromUtf8(deep.c_str()) +
                      QStringLiteral("　を開けません（パスが長すぎます）。")).toStdString());
  ASSERT_EQ(ui::ModalHistory().size(), 2u) << "the folder dialog, and one box for everything";
  EXPECT_EQ(ui::ModalHistory().back().caption, QStringLiteral("検索エラー"));
  // A screen reader hears it on the status line, too.
  EXPECT_EQ(Status(), QStringLiteral("検索終了（検索できなかったファイル 3 件）"));
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_FALSE(form->Session().RutFile);
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());

  // Searched again, with nothing found: one box says both.
  Search("いぬ", docs, &text);
  EXPECT_TRUE(text.startsWith(QStringLiteral("見つかりませんでした。\n\n検索できなかったファイルがあります。\n"))) << text.toStdString();
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

}  // namespace
}  // namespace tavo::test
