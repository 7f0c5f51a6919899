// The dictionary search as a user runs it: a word typed, Enter, Enter for the
// next page; what the window adds to the search (rows in the grid, paging,
// status texts, focus, messages, the offer to register a missing word,
// cancelling during a fill, the converter bound for RUTE dictionaries).
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <QScrollBar>

#include "dictool/Cp932Texts.h"
#include "dictool/DicLine.h"
#include "dictool/Paging.h"
#include "platform/text/QtText.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {
namespace {

class DicSearchTest : public MainWindowTest {
 protected:
  // Registers dictionaries as searched, as the registration dialog would.
  void Use(std::vector<std::string> dics) { form->SetSearchDicList(std::move(dics)); }

  // Types the word and presses Enter in the search box.
  void Search(const std::string& utf8Word) {
    inside->cbSearchWord->setEditText(QString::fromUtf8(utf8Word.c_str()));
    Enter(inside->cbSearchWord);
  }
  void Enter(QWidget* w) {
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Return);
    QCoreApplication::processEvents();
  }
  // The filled rows of the dictionary grid (CP932).
  std::vector<std::string> Rows() const { return form->DicRows(); }
  int RowCount() const { return static_cast<int>(form->DicRows().size()); }
  std::string Heading(const std::string& path) const {
    return std::string(sj::DicHeadingPrefix) + path + std::string(sj::Dash);
  }
  int PageRows() const {
    return RowsThatFit(inside->Grid->ClientHeight(), inside->Grid->DefaultRowHeight(), inside->Grid->GridLineWidth());
  }
  QString Status() const { return inside->StatusPanel->text(); }
};

std::string Lines(std::initializer_list<std::string> utf8Lines, const char* eol = "\r\n") {
  std::string out;
  for (const std::string& l : utf8Lines) out += sj(l) + eol;
  return out;
}

TEST_F(DicSearchTest, AFinishedSearchShowsItsRowsAndGivesTheControlsBack) {
  const std::string dic = WriteFile("a.dic", Lines({"メモ%ねこ", "ねこ%メモ", "abc/ねこ□じゃらし"}));
  Use({dic});
  Search("ねこ");
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), sj("ねこ%メモ").replace(4, 1, " "),
                                              "    " + sj("ねこ□じゃらし"), std::string(sj::SearchEndRow)}));
  EXPECT_EQ(Status(), QStringLiteral("検索終了"));
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_TRUE(form->Session().ReachedEnd);
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());
  EXPECT_FALSE(inside->btnSearchCancel->isEnabled());
  EXPECT_EQ(inside->cbSearchWord->itemText(0), QStringLiteral("ねこ")) << "the word joins the history";
}

TEST_F(DicSearchTest, TheSearchBoxDoesNotCompleteATypedWordFromItsHistory) {
  const std::string dic = WriteFile("z.dic", Lines({"どうぶつ□えん", "どうぶつ"}));
  Use({dic});
  Search("どうぶつ えん");
  inside->cbSearchWord->setFocus();
  inside->cbSearchWord->clearEditText();
  for (const QChar c : QStringLiteral("どうぶつ")) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(inside->cbSearchWord->lineEdit(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(inside->cbSearchWord->lineEdit(), &release);
  }
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("どうぶつ"));
  Enter(inside->cbSearchWord);
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), sj("どうぶつ□えん"), sj("どうぶつ"),
                                              std::string(sj::SearchEndRow)}));
  EXPECT_EQ(inside->cbSearchWord->count(), 2) << "the history is in the list";
}

TEST_F(DicSearchTest, PagesHoldAScreenfulAndEnterFillsTheNext) {
  std::vector<std::string> lines;
  for (int i = 0; i < 100; ++i) lines.push_back(sj("ねこ") + std::to_string(i));
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\r\n";
  const std::string dic = WriteFile("p.dic", bytes);
  Use({dic});
  const int n = PageRows();
  ASSERT_GT(n, 3);
  Search("ねこ");
  // The first page: the heading and n - 1 hits.
  ASSERT_EQ(RowCount(), n);
  EXPECT_EQ(inside->Grid->Cell(0, n - 1), HideLineCode(lines[static_cast<size_t>(n - 2)]));
  EXPECT_EQ(inside->Grid->TopRow(), 0);
  EXPECT_EQ(Status(), QStringLiteral("Enterキーで続行"));
  EXPECT_TRUE(form->Session().SearchOpen);
  EXPECT_FALSE(inside->cbSearchWord->isEnabled());
  EXPECT_FALSE(inside->btnGaibuSearch->isEnabled());
  EXPECT_TRUE(inside->btnSearch->isEnabled());
  EXPECT_EQ(QApplication::focusWidget(), inside->Grid);

  // Enter in the grid: the previous page's last row stands at the top and
  // n - 1 rows follow.
  Enter(inside->Grid);
  ASSERT_EQ(RowCount(), 2 * n - 1);
  EXPECT_EQ(inside->Grid->TopRow(), n - 1);
  EXPECT_EQ(inside->Grid->rowAt(0), n - 1) << "the view shows the top row at its top";
  EXPECT_EQ(inside->Grid->Row(), n - 1);
  while (form->Session().SearchOpen) Enter(inside->Grid);
  EXPECT_EQ(Rows().back(), std::string(sj::SearchEndRow));
  EXPECT_EQ(RowCount(), 102);
  EXPECT_EQ(Status(), QStringLiteral("検索終了"));

  // The same word again after a complete search with hits keeps the rows.
  ops.clear();
  const int top = inside->Grid->TopRow();
  Search("ねこ");
  EXPECT_EQ(ops, (std::vector<std::string>{"DicSearch"}));
  EXPECT_EQ(inside->Grid->TopRow(), top);
  EXPECT_EQ(RowCount(), 102);
}

TEST_F(DicSearchTest, EveryWindowHeightShowsEachPagesTopRowAtTheTop) {
  std::string bytes;
  for (int i = 0; i < 200; ++i) bytes += sj("ねこ") + "\r\n";
  Use({WriteFile("h.dic", bytes)});
  for (int height = 400; height < 424; ++height) {
    form->resize(811, height);
    QCoreApplication::processEvents();
    inside->LastSearchWord.clear();
    Search("ねこ");
    Enter(inside->Grid);
    ASSERT_TRUE(form->Session().SearchOpen) << height;
    EXPECT_EQ(inside->Grid->rowAt(0), inside->Grid->TopRow()) << height;
    EXPECT_EQ(inside->Grid->TopRow(), PageRows() - 1) << height;
    form->SearchCancel();
  }
}

TEST_F(DicSearchTest, AWordNotFoundIsOfferedForRegistration) {
  const std::string dic = WriteFile("n.dic", Lines({"いぬ"}));
  Use({dic});
  QString offer;
  ExpectMessage(ui::IDOK, &offer);
  std::string wordInDialog;
  ui::PushModalScript([&](ui::ModalCall& call) {
    EXPECT_EQ(call.form, setWord);
    wordInDialog = ToCp932(setWord->edAddWord->text()).value_or("?");
    return ui::mrCancel;
  });
  Search("ね こ");
  EXPECT_EQ(offer, QStringLiteral("見つかりませんでした。この語句を辞書に登録しますか？"));
  EXPECT_EQ(ui::ModalHistory()[0].flags, 0x21u);
  EXPECT_EQ(wordInDialog, sj("ね□こ")) << "the word as searched, its space made a mark";
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), std::string(sj::SearchEndRow)}));
  // Not found: the same word is searched anew.
  ExpectMessage(ui::IDCANCEL);
  ops.clear();
  Enter(inside->cbSearchWord);
  EXPECT_EQ(ops, (std::vector<std::string>{"DicSearch", "DicSearchNextPage"}));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(DicSearchTest, BadStartsAreToldAndLeaveEverythingUsable) {
  QString text;
  ExpectMessage(ui::IDOK, &text);
  Search("");
  EXPECT_EQ(text, QStringLiteral("検索文字列を入力してください。"));
  EXPECT_EQ(ui::ModalHistory().back().caption, QStringLiteral("検索エラー"));
  EXPECT_EQ(ui::ModalHistory().back().flags, 0x40u);

  ExpectMessage(ui::IDOK, &text);
  ui::PushModalScript([&](ui::ModalCall& call) {
    EXPECT_EQ(call.form, dicList);
    return ui::mrCancel;
  });
  Search("ねこ");
  EXPECT_EQ(text, QStringLiteral("辞書ファイルが設定されていません。辞書ファイルを設定して下さい。"));

  // A search with rows, then one whose first dictionary is missing.
  const std::string dic = WriteFile("a.dic", Lines({"ねこ"}));
  Use({dic});
  Search("ねこ");
  const auto before = Rows();
  Use({dir + "/missing.dic", dic});
  ExpectMessage(ui::IDOK, &text);
  Search("いぬ");
  EXPECT_EQ(text, QStringLiteral("辞書ファイル ") + QString::fromUtf8((dir + "/missing.dic").c_str()) +
                      QStringLiteral("　が見つかりません。"));
  EXPECT_EQ(Rows(), before) << "no page is filled on what the earlier search left";
  EXPECT_TRUE(inside->btnSearch->isEnabled());
  EXPECT_TRUE(inside->btnGaibuSearch->isEnabled());
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(DicSearchTest, DictionariesThatCannotBeReadAreToldAndOnlyAFullSearchOffersTheWord) {
  const std::string fifo = dir + "/fifo.dic";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string a = WriteFile("a.dic", Lines({"いぬ"}));
  Use({fifo, "/proc/self/mem", a, dir + "/gone.dic"});
  QString first, second, third;
  ExpectMessage(ui::IDOK, &first);
  ExpectMessage(ui::IDOK, &second);
  ExpectMessage(ui::IDOK, &third);
  Search("ねこ");
  EXPECT_EQ(first, QStringLiteral("辞書ファイル ") + QString::fromUtf8(fifo.c_str()) +
                       QStringLiteral("　を読み込めません。\n通常のファイルではありません。"));
  EXPECT_EQ(second, QStringLiteral("辞書ファイル /proc/self/mem　を読み込めません。\n入出力エラーが起きました。"));
  EXPECT_EQ(third, QStringLiteral("辞書ファイル ") + QString::fromUtf8((dir + "/gone.dic").c_str()) +
                       QStringLiteral("　が見つかりません。"));
  for (const ui::ModalCall& call : ui::ModalHistory()) EXPECT_EQ(call.caption, QStringLiteral("検索エラー"));
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(fifo), Heading("/proc/self/mem"), Heading(a),
                                              std::string(sj::SearchEndRow)}));
  EXPECT_EQ(ui::UnscriptedModalCount(), 0) << "no offer to register a word that was not looked for everywhere";
}

TEST_F(DicSearchTest, ACancelArrivingDuringAFillStopsItAfterTheCurrentLine) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += sj("いぬ") + "\r\n";
  bytes += sj("ねこ") + "\r\n";
  const std::string dic = WriteFile("c.dic", bytes);
  Use({dic});
  // The click is queued before the search starts, so the fill's first pass
  // of the event loop delivers it.
  QTimer::singleShot(0, inside->btnSearchCancel, [this] { inside->btnSearchCancel->click(); });
  Search("ねこ");
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), std::string(sj::SearchCancelRow)}));
  EXPECT_EQ(Status(), QStringLiteral("検索中止"));
  EXPECT_TRUE(form->Session().Cancelled);
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_FALSE(form->Session().CancelRequest);
  EXPECT_FALSE(form->Session().FileOpen);
  EXPECT_TRUE(inside->cbSearchWord->isEnabled());
  // After a cancel the same word searches anew.
  Search("ねこ");
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), sj("ねこ"), std::string(sj::SearchEndRow)}));
}

TEST_F(DicSearchTest, ASecondEnterDuringTheFirstFillDoesNothing) {
  std::string bytes;
  for (int i = 0; i < 3000; ++i) bytes += sj("いぬ") + "\r\n";
  bytes += sj("ねこ") + "\r\n";
  const std::string dic = WriteFile("f.dic", bytes);
  Use({dic});
  QWidget* focusDuringFill = nullptr;
  QTimer::singleShot(0, form, [&] {
    focusDuringFill = QApplication::focusWidget();
    QTest::keyClick(focusDuringFill, Qt::Key_Return);
    QTest::keyClick(focusDuringFill, Qt::Key_Return, Qt::ShiftModifier);
  });
  Search("ねこ");
  EXPECT_EQ(focusDuringFill, inside->Grid);
  EXPECT_EQ(ops, (std::vector<std::string>{"DicSearch", "DicSearchNextPage"}));
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), sj("ねこ"), std::string(sj::SearchEndRow)}));
  EXPECT_FALSE(form->Session().Cancelled);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
}

TEST_F(DicSearchTest, EscDuringAPausedSearchCancelsIt) {
  std::string bytes;
  for (int i = 0; i < 80; ++i) bytes += sj("ねこ") + "\r\n";
  Use({WriteFile("a.dic", bytes)});
  Search("ねこ");
  ASSERT_TRUE(form->Session().SearchOpen);
  QTest::keyClick(inside->Grid, Qt::Key_Escape);
  EXPECT_FALSE(form->Session().SearchOpen);
  EXPECT_EQ(Rows().back(), std::string(sj::SearchCancelRow));
}

TEST_F(DicSearchTest, ClosingTheWindowDuringAFillCancelsItAndClosesAfterwards) {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += sj("いぬ") + "\r\n";
  Use({WriteFile("c.dic", bytes)});
  QTimer::singleShot(0, form, [this] { form->close(); });
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  EXPECT_TRUE(form->isVisible()) << "the fill ends first";
  EXPECT_EQ(Rows().back(), std::string(sj::SearchCancelRow));
  EXPECT_TRUE(form->Session().Cancelled);
  EXPECT_TRUE(WaitUntil("the window to close after the fill", [this] { return !form->isVisible(); }));
  EXPECT_NE(SettingsText().find(std::string(sj::SecSearchDics)), std::string::npos) << "closing saved the settings";
}

TEST_F(DicSearchTest, RuteDocumentsAreSearchedAsBrailleWithPageAndLine) {
  // A header of 512 bytes with 20 lines per page, its first text line
  // skipped; then braille lines.
  std::string header(512, ' ');
  header.replace(504, 4, "0001");
  header.replace(508, 2, "01");
  header.replace(510, 2, "20");
  std::string bytes = header + "\r\n";
  for (int i = 1; i <= 25; ++i) bytes += (i == 21 ? std::string("P[ BM") : std::string("BM")) + "\r\n";
  const std::string dic = WriteFile("doc.RUT", bytes);
  Use({dic});
  Search("ねこ");
  EXPECT_EQ(Rows(), (std::vector<std::string>{Heading(dic), "002:01 " + sj("ねこ□いぬ"), std::string(sj::SearchEndRow)}));
  EXPECT_EQ(form->Session().RutFile, nullptr) << "the header reader goes with the search";
}

TEST_F(DicSearchTest, SettingsKeepTheDictionaryListsAcrossRuns) {
  form->SetSearchDicList({"/d/one.dic", "/d/two.dic"});
  form->SetNotSearchDicList({"/d/three.dic"});
  form->SetWriteDic("/d/two.dic");
  Restart();
  EXPECT_EQ(form->GetSearchDicList(), (std::vector<std::string>{"/d/one.dic", "/d/two.dic"}));
  EXPECT_EQ(form->GetNotSearchDicList(), (std::vector<std::string>{"/d/three.dic"}));
  EXPECT_EQ(form->GetWriteDic(), "/d/two.dic");
  // A shorter list leaves the old numbered keys, and only the count is read.
  form->SetSearchDicList({"/d/solo.dic"});
  Restart();
  EXPECT_EQ(form->GetSearchDicList(), (std::vector<std::string>{"/d/solo.dic"}));
  EXPECT_NE(SettingsText().find("/d/two.dic"), std::string::npos);
}

}  // namespace
}  // namespace tavo::test
