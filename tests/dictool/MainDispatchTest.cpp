// The main window's commands as a user gives them: which operation each key,
// mouse press and menu item chooses, the hint switch, and the dialogs' OK and
// Cancel paths.
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "dictool/HelpPages.h"
#include "platform/system/Process.h"
#include "platform/ui/Application.h"
#include "platform/ui/Hints.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

using Ops = std::vector<std::string>;

class DispatchTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  }
  // Leaves the search folder dialog (or any other) answered with Cancel.
  void Key(QWidget* w, int key, Qt::KeyboardModifiers m = Qt::NoModifier) {
    w->setFocus();
    QTest::keyClick(w, static_cast<Qt::Key>(key), m);
    QCoreApplication::processEvents();
  }
  bool FolderDialogShown() const {
    for (const ui::ModalCall& c : ui::ModalHistory())
      if (c.kind == ui::ModalCall::Form && c.form == folder) return true;
    return false;
  }
};

TEST_F(DispatchTest, EnterInSearchBoxStartsADictionarySearch) {
  Key(inside->cbSearchWord, Qt::Key_Return);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearch");
  EXPECT_FALSE(FolderDialogShown());
}

TEST_F(DispatchTest, ShiftEnterInSearchBoxStartsAnExternalSearch) {
  // The Enter character must not reach the box while the external search
  // is asked for.
  Key(inside->cbSearchWord, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(ops, (Ops{"GaibuSearch"}));
  EXPECT_TRUE(FolderDialogShown());
  EXPECT_FALSE(inside->GaibuIntent) << "the key release clears the intent";
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("ねこ"));
}

TEST_F(DispatchTest, MouseClicksChooseTheSearchOfTheirButton) {
  QTest::mouseClick(inside->btnGaibuSearch, Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_EQ(ops, (Ops{"GaibuSearch"}));
  ops.clear();
  inside->GaibuIntent = true;  // left over: a press on 検索 clears it
  QTest::mouseClick(inside->btnSearch, Qt::LeftButton);
  QCoreApplication::processEvents();
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearch");
}

TEST_F(DispatchTest, EnterAndSpaceOnTheExternalButtonReachedByTabStartAnExternalSearch) {
  inside->cbSearchWord->setFocus();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), inside->btnGaibuSearch);
  for (const Qt::KeyboardModifiers m : {Qt::NoModifier, Qt::ShiftModifier}) {
    for (const int key : {Qt::Key_Return, Qt::Key_Space}) {
      ops.clear();
      ui::ClearModalHistory();
      Key(inside->btnGaibuSearch, key, m);
      if (key == Qt::Key_Space && m == Qt::ShiftModifier) continue;  // Shift+Space is no command
      EXPECT_EQ(ops, (Ops{"GaibuSearch"})) << key << " " << m;
      EXPECT_TRUE(FolderDialogShown());
    }
  }
  // On 検索 Enter stays a dictionary search.
  ops.clear();
  Key(inside->btnSearch, Qt::Key_Return);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearch");
}

TEST_F(DispatchTest, AMousePressOnTheExternalButtonThatNothingClearedTurnsEnterIntoAnExternalSearch) {
  // A press without a click (the mouse left the button before release).
  QTest::mousePress(inside->btnGaibuSearch, Qt::LeftButton);
  QTest::mouseRelease(inside->btnGaibuSearch, Qt::LeftButton, {}, QPoint(-50, -50));
  QCoreApplication::processEvents();
  ASSERT_TRUE(inside->GaibuIntent);
  ops.clear();
  // Enter goes to the default button 検索 before the key-down would clear it.
  inside->cbSearchWord->setFocus();
  QTest::keyPress(inside->cbSearchWord, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(ops, (Ops{"GaibuSearch"}));
  QTest::keyRelease(inside->cbSearchWord, Qt::Key_Return);
  EXPECT_FALSE(inside->GaibuIntent);
}

TEST_F(DispatchTest, CharactersTypedWhileTheExternalIntentIsSetAreDiscarded) {
  inside->cbSearchWord->setEditText(QString());
  inside->GaibuIntent = true;
  inside->cbSearchWord->setFocus();
  QTest::keyPress(inside->cbSearchWord, Qt::Key_A, Qt::NoModifier);
  EXPECT_EQ(inside->cbSearchWord->currentText(), QString());
  QTest::keyRelease(inside->cbSearchWord, Qt::Key_A);
  EXPECT_FALSE(inside->GaibuIntent);
  QTest::keyClick(inside->cbSearchWord, Qt::Key_B);
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("b"));
}

TEST_F(DispatchTest, KeysInTheGridsContinueTheOpenSearchOfTheirKind) {
  // A paused dictionary search: Enter and Shift+Enter both continue it.
  inside->Session.SearchOpen = true;
  inside->Session.GaibuMode = 0;
  inside->btnGaibuSearch->setEnabled(false);
  Key(inside->Grid, Qt::Key_Return);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearchNextPage");
  EXPECT_EQ(inside->PageControl1->currentIndex(), 0);

  ops.clear();
  inside->Session.SearchOpen = true;
  inside->btnGaibuSearch->setEnabled(false);
  inside->PageControl1->setCurrentIndex(1);
  Key(inside->Grid, Qt::Key_Return, Qt::ShiftModifier);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearchNextPage");
  EXPECT_EQ(inside->PageControl1->currentIndex(), 0);

  // A paused external search: its own page and grid.
  ops.clear();
  inside->Session.SearchOpen = true;
  inside->Session.GaibuMode = 1;
  inside->btnSearch->setEnabled(false);
  inside->btnGaibuSearch->setEnabled(true);
  inside->PageControl1->setCurrentIndex(1);
  Key(inside->Grid2, Qt::Key_Return);
  EXPECT_EQ(ops, (Ops{"GaibuSearchNextPage"}));
  ops.clear();
  inside->Session.SearchOpen = true;  // the fill ended the search that had no files
  inside->Session.GaibuMode = 1;
  inside->btnSearch->setEnabled(false);
  Key(inside->Grid2, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(ops, (Ops{"GaibuSearchNextPage"}));
  EXPECT_EQ(inside->PageControl1->currentIndex(), 1);
}

TEST_F(DispatchTest, ShiftEnterInAGridWithoutASearchStartsAnExternalSearch) {
  Key(inside->Grid, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(ops, (Ops{"GaibuSearch"}));
}

TEST_F(DispatchTest, LeftAndRightScrollAGridByOneStep) {
  inside->Grid->SetRowCount(3);
  inside->Grid->SetColWidth(0, 5000);
  QScrollBar* bar = inside->Grid->horizontalScrollBar();
  bar->setValue(0);
  Key(inside->Grid, Qt::Key_Right);
  const int stepped = bar->value();
  EXPECT_GT(stepped, 0);
  Key(inside->Grid, Qt::Key_Left);
  EXPECT_EQ(bar->value(), 0);
  // Up and Down stay the grid's own.
  inside->Grid->SetRow(0);
  Key(inside->Grid, Qt::Key_Down);
  EXPECT_EQ(inside->Grid->Row(), 1);
}

TEST_F(DispatchTest, CommandsDuringAPageFillDoNothingAndACancelIsDeferred) {
  inside->Session.PageFilling = true;
  Key(inside->cbSearchWord, Qt::Key_Return);
  form->ActionGaibuSearchExecute();
  form->mnuSetDicClick();
  form->mnuVersionClick();
  EXPECT_TRUE(ops.empty());
  EXPECT_TRUE(ui::ModalHistory().empty());
  inside->btnSearchCancel->setEnabled(true);
  Key(inside->Grid, Qt::Key_Escape);
  EXPECT_TRUE(form->Session().CancelRequest);
  EXPECT_TRUE(ops.empty()) << "the fill carries the cancel out itself";
  inside->Session.PageFilling = false;
  inside->Session.CancelRequest = false;
  form->btnSearchCancelClick();
  EXPECT_EQ(ops, (Ops{"SearchCancel"}));
  EXPECT_TRUE(form->Session().Cancelled);
}

TEST_F(DispatchTest, EnterAndEscInTheMenuBarAreTheMenusOwn) {
  form->menuBar()->setFocus();
  QTest::keyClick(form->menuBar(), Qt::Key_Return);
  QTest::keyClick(form->menuBar(), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_TRUE(ops.empty());
}

TEST_F(DispatchTest, APressOnADisabledButtonSetsNoIntent) {
  inside->btnGaibuSearch->setEnabled(false);
  QTest::mousePress(inside->btnGaibuSearch, Qt::LeftButton);
  QTest::mouseRelease(inside->btnGaibuSearch, Qt::LeftButton);
  EXPECT_FALSE(inside->GaibuIntent);
  EXPECT_TRUE(ops.empty());
}

TEST_F(DispatchTest, ActionShortcutsWorkAnywhereInTheWindow) {
  Key(inside->cbSearchWord, Qt::Key_F2);
  Key(inside->Grid, Qt::Key_F3);
  EXPECT_EQ(ops, (Ops{"Action1Execute", "Action3Execute"}));
}

TEST_F(DispatchTest, AnEnterThatCommitsAnInputMethodCompositionStartsNothing) {
  inside->cbSearchWord->setFocus();
  QInputMethodEvent compose(QStringLiteral("ねこ"), {});
  QCoreApplication::sendEvent(inside->cbSearchWord, &compose);
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  EXPECT_TRUE(ops.empty());
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("ねこ"));
  QCoreApplication::sendEvent(inside->cbSearchWord, &commit);
  Key(inside->cbSearchWord, Qt::Key_Return);
  ASSERT_FALSE(ops.empty());
  EXPECT_EQ(ops.front(), "DicSearch");
}

// ---- The window as it shows ----

TEST_F(MainWindowTest, ShowsItsCaptionMenusAndButtons) {
  EXPECT_EQ(form->windowTitle(), QStringLiteral("TavoDic 分かち書き辞書"));
  QStringList menus;
  for (QAction* a : form->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("表示(&V)"), QStringLiteral("設定(&S)"),
                                QStringLiteral("ヘルプ(&H)")}));
  auto items = [](QMenu* m) {
    QStringList out;
    for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
  };
  EXPECT_EQ(items(inside->mnuFile), (QStringList{"-", QStringLiteral("終了(&X)")}));
  EXPECT_EQ(items(inside->mnuView), (QStringList{QStringLiteral("たぼーを前面へ表示"),
                                                 QStringLiteral("カーソル位置のファイルを開く"),
                                                 QStringLiteral("ヒント表示")}));
  EXPECT_EQ(items(inside->mnuSettings),
            (QStringList{QStringLiteral("辞書ファイルの登録(&R)..."), QStringLiteral("語句の登録..."),
                         QStringLiteral("カラー設定"), QStringLiteral("フォントの設定(&F)...")}));
  EXPECT_EQ(items(inside->mnuSetColor),
            (QStringList{QStringLiteral("黒字に緑文字"), QStringLiteral("黒字に白文字"), QStringLiteral("白地に黒文字")}));
  EXPECT_EQ(items(inside->mnuHelp), (QStringList{QStringLiteral("目次"), "-", QStringLiteral("バージョン情報...(&A)")}));
  EXPECT_EQ(inside->Action1->shortcut(), QKeySequence(Qt::Key_F2));
  EXPECT_EQ(inside->Action3->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_EQ(inside->btnSearch->text(), QStringLiteral("検索"));
  EXPECT_EQ(inside->btnGaibuSearch->text(), QStringLiteral("外部検索"));
  EXPECT_EQ(inside->btnSearchCancel->text(), QStringLiteral("検索中止"));
  EXPECT_FALSE(inside->btnSearchCancel->isEnabled());
  EXPECT_EQ(inside->PageControl1->tabText(0), QStringLiteral("辞書検索画面"));
  EXPECT_EQ(inside->PageControl1->tabText(1), QStringLiteral("外部ファイル検索画面"));
  EXPECT_EQ(folder->windowTitle(), QStringLiteral("検索フォルダの選択"));
  EXPECT_EQ(dicList->windowTitle(), QStringLiteral("辞書の登録"));
  EXPECT_EQ(setWord->windowTitle(), QStringLiteral("語句登録"));
}

TEST_F(MainWindowTest, TheAboutBoxShowsTheVersion) {
  ui::PushModalScript([this](ui::ModalCall& call) {
    EXPECT_EQ(call.form, about);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(about->Version->text(), QStringLiteral("Version 2.11"));
    EXPECT_EQ(about->ProductName->text(), QStringLiteral("TavoDic - 分かち書き辞書"));
    QTest::keyClick(about->OKButton, Qt::Key_Return);
    QCoreApplication::processEvents();
    return ui::mrNone;
  });
  inside->mnuVersion->trigger();
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(MainWindowTest, TheHintSwitchHidesAllHintsButThatOfTheExternalButton) {
  EXPECT_FALSE(inside->cbSearchWord->toolTip().isEmpty());
  inside->N5->trigger();
  EXPECT_FALSE(form->GetHintVisible());
  EXPECT_FALSE(inside->N5->isChecked());
  for (QWidget* w : std::initializer_list<QWidget*>{inside->cbSearchWord, inside->btnSearch,
                                                    inside->btnSearchCancel, inside->SpeedButton1,
                                                    inside->SpeedButton2, folder->SpeedButton1, folder->SpeedButton5})
    EXPECT_TRUE(w->toolTip().isEmpty()) << w->objectName().toStdString();
  EXPECT_EQ(inside->btnGaibuSearch->toolTip(), QStringLiteral("ＳＨＩＦＴ＋ＥＮＴＥＲ：外部ファイル検索を行います"));
  inside->N5->trigger();
  EXPECT_EQ(inside->btnSearch->toolTip(), QStringLiteral("ＥＮＴＥＲ：検索を行います"));
  EXPECT_EQ(folder->SpeedButton5->toolTip(), QStringLiteral("ひとつ上へ"));
}

TEST_F(MainWindowTest, TheDictionaryDialogsCancelChangesNothingAndOkSavesAtOnce) {
  form->SetSearchDicList({"/d/a.dic"});
  inside->LastSearchWord = sj("ねこ");
  ui::PushModalScript([this](ui::ModalCall&) {
    dicList->SrcList->clear();  // edits that a cancel throws away
    return ui::mrCancel;
  });
  inside->mnuSetDic->trigger();
  EXPECT_EQ(form->GetSearchDicList(), (std::vector<std::string>{"/d/a.dic"}));
  EXPECT_EQ(SettingsText(), "");
  EXPECT_EQ(inside->LastSearchWord, sj("ねこ"));

  ui::PushModalScript([this](ui::ModalCall&) {
    QTest::mouseClick(dicList->OKBtn, Qt::LeftButton);
    return ui::mrNone;
  });
  inside->mnuSetDic->trigger();
  EXPECT_EQ(form->GetSearchDicList(), (std::vector<std::string>{"/d/a.dic"}));
  EXPECT_NE(SettingsText().find("/d/a.dic"), std::string::npos);
  EXPECT_EQ(inside->LastSearchWord, "");
}

TEST_F(MainWindowTest, TheHelpCommandsOpenTheirPagesOrSayWhyNot) {
  std::vector<std::string> opened;
  bool canStart = true;
  SetStartProgramHook([&](const std::string& program, const std::vector<std::string>& args) {
    opened.push_back(program + " " + (args.empty() ? "" : args[0]));
    return canStart;
  });
  inside->mnuHelpIndex->trigger();
  dicList->HelpBtn->click();
  setWord->HelpBtn->click();
  ASSERT_EQ(opened.size(), 3u);
  const char* pages[] = {"HID00000001.htm", "HID00000007.htm", "HID00000008.htm"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(opened[i].rfind("xdg-open /", 0), 0u) << opened[i];
    EXPECT_EQ(opened[i].find(".."), std::string::npos) << "the path is made absolute";
    const std::string path = opened[i].substr(opened[i].find(' ') + 1);
    EXPECT_EQ(path, FindHelpPage(pages[i]));
    std::ifstream in(path);
    std::string head((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(head.find("<meta charset=\"utf-8\">"), std::string::npos) << path;
  }

  // No program to show a page with: the user is told where the page lies.
  opened.clear();
  canStart = false;
  QString told;
  ExpectMessage(ui::IDOK, &told);
  inside->mnuHelpIndex->trigger();
  EXPECT_EQ(opened.size(), 3u) << "the desktop's opener, then the browsers";
  EXPECT_TRUE(told.contains(QString::fromUtf8(FindHelpPage(pages[0]).c_str()))) << told.toStdString();
  SetStartProgramHook(nullptr);

  // An opener that starts but finds nothing to show the page with (as
  // xdg-open without a browser) is told once it has ended, and only then.
  const std::string bin = dir + "/bin";
  ASSERT_EQ(mkdir(bin.c_str(), 0700), 0);
  for (const auto& [name, code] : {std::pair{"xdg-open", 3}, std::pair{"sensible-browser", 0}}) {
    const std::string script = bin + "/" + name;
    std::ofstream(script) << "#!/bin/sh\nexit " << code << "\n";
    ASSERT_EQ(chmod(script.c_str(), 0700), 0);
  }
  const std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  told.clear();
  ExpectMessage(ui::IDOK, &told);
  inside->mnuHelpIndex->trigger();
  EXPECT_TRUE(told.isEmpty()) << "nothing is said while the opener runs";
  EXPECT_TRUE(WaitUntil("the failed opener told", [&] { return !told.isEmpty(); }));
  EXPECT_TRUE(told.contains(QStringLiteral("ヘルプを表示するプログラムが見つかりません"))) << told.toStdString();
  setenv("PATH", path.c_str(), 1);

  EXPECT_EQ(FindHelpPage("HID99999999.htm"), "");
  ExpectMessage(ui::IDOK, &told);
  OpenHelpPage(form, "HID99999999.htm");
  EXPECT_TRUE(told.contains(QStringLiteral("見つかりません")));
}

}  // namespace
}  // namespace tavo::test

namespace tavo::test {
namespace {

TEST_F(MainWindowTest, GridRowsReachAssistiveTechnologyWithBrailleCellsAsPatterns) {
  inside->Grid->SetRowCount(2);
  inside->Grid->SetCell(0, 0, sj("－使用辞書：a.dic－"));
  inside->Grid->SetCell(0, 1, sj("ねこ") + "\xF0\x41\xF0\x80");  // two cell characters
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(inside->Grid);
  ASSERT_NE(grid, nullptr);
  QAccessibleTableInterface* table = grid->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 2);
  QAccessibleInterface* cell = table->cellAt(1, 0);
  ASSERT_NE(cell, nullptr);
  // '!' is dots 2346, '_' dots 456.
  EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("ねこ") + QChar(0x2800 + 0x2E) + QChar(0x2800 + 0x38));
  EXPECT_TRUE(inside->Grid->currentIndex().isValid()) << "a current index is always set";
}

}  // namespace
}  // namespace tavo::test

namespace tavo::test {
namespace {

// The per-line pump of a search is cheap: it passes the event loop only
// when its interval has gone by, and then delivers what waits.
TEST(ProcessMessagesTest, PassesTheEventLoopOnlyOncePerInterval) {
  int delivered = 0;
  QObject target;
  ui::SetProcessMessagesInterval(60000);
  ui::ProcessMessagesNow();
  QMetaObject::invokeMethod(&target, [&] { ++delivered; }, Qt::QueuedConnection);
  for (int i = 0; i < 1000; ++i) ui::ProcessMessages();
  EXPECT_EQ(delivered, 0);
  ui::SetProcessMessagesInterval(0);
  ui::ProcessMessages();
  EXPECT_EQ(delivered, 1);
}

}  // namespace
}  // namespace tavo::test
