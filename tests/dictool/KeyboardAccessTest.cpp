// The program as a user without a mouse meets it: Tab and Shift+Tab reach
// every control of each window and come back, Space presses the focused
// button, the search order is changed by keys alone; every control has a
// name for a screen reader, and the end of a search is announced.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "dictool/DicListItems.h"
#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

using Widgets = std::vector<QWidget*>;

// The controls that Tab (or Shift+Tab) visits from `first` until the focus
// is back on it; stops after 50 steps.
Widgets TabCycle(QWidget* first, Qt::KeyboardModifiers m = Qt::NoModifier) {
  first->setFocus();
  Widgets seen{QApplication::focusWidget()};
  for (int i = 0; i < 50; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, m);
    QCoreApplication::processEvents();
    if (QApplication::focusWidget() == seen.front()) break;
    seen.push_back(QApplication::focusWidget());
  }
  return seen;
}

std::vector<std::string> Names(const Widgets& ws) {
  std::vector<std::string> out;
  for (QWidget* w : ws) out.push_back(w != nullptr ? w->objectName().toStdString() : "(none)");
  return out;
}

// Tab visits `expected` in order and comes back to the first; Shift+Tab
// visits them in the opposite order.
void ExpectTabCycle(const Widgets& expected) {
  EXPECT_EQ(Names(TabCycle(expected.front())), Names(expected));
  Widgets back(expected.rbegin(), expected.rend() - 1);
  back.insert(back.begin(), expected.front());
  EXPECT_EQ(Names(TabCycle(expected.front(), Qt::ShiftModifier)), Names(back));
}

// Makes `window` the one that keys go to.
void Activate(QWidget* window) {
  window->activateWindow();
  EXPECT_TRUE(WaitUntil("the window active", [window] { return QApplication::activeWindow() == window; }));
}

// Shows `dialog` through the scripted modal path and runs `body` while it is
// the active window.
void WhileShown(QWidget* dialog, std::function<void()> body, std::function<void()> show) {
  ui::PushModalScript([dialog, body](ui::ModalCall&) {
    Activate(dialog);
    body();
    return ui::mrCancel;
  });
  show();
}

TEST_F(MainWindowTest, TabReachesEveryControlOfEachWindowAndComesBack) {
  inside->Grid->SetRowCount(1);
  ExpectTabCycle({inside->cbSearchWord, inside->btnSearch, inside->btnGaibuSearch, inside->SpeedButton2,
                  inside->SpeedButton1, inside->PageControl1->tabBar(), inside->Grid});

  form->SetSearchDicList({"/d/a.dic", "/d/b.dic"});
  form->SetNotSearchDicList({"/d/c.dic"});
  WhileShown(
      dicList,
      [this] {
        dicList->SrcList->setCurrentRow(0);  // the order buttons need one entry chosen
        QCoreApplication::processEvents();
        ExpectTabCycle({dicList->SrcList, dicList->IncludeBtn, dicList->IncAllBtn, dicList->ExcludeBtn,
                        dicList->ExAllBtn, dicList->UpBtn, dicList->DownBtn, dicList->DstList, dicList->EntryBtn,
                        dicList->ReleaseBtn, dicList->OKBtn, dicList->BitBtn1, dicList->HelpBtn});
      },
      [this] { inside->mnuSetDic->trigger(); });

  form->SetWriteDic("/d/a.dic");
  WhileShown(
      setWord,
      [this] {
        ExpectTabCycle({setWord->edAddWord, setWord->NewDicBtn, setWord->DicList, setWord->OKBtn, setWord->CancelBtn,
                        setWord->HelpBtn});
      },
      [this] { inside->mnuSetWord->trigger(); });

  WhileShown(
      folder,
      [this] {
        // The view buttons are one stop, at the view shown; arrows move in them.
        ExpectTabCycle({folder->ComboBox1, folder->CheckBox1, folder->SpeedButton5, folder->SpeedButton4,
                        folder->ZuShellTreeView1, folder->ZuShellListView1->CurrentView(), folder->BitBtn1,
                        folder->BitBtn2, folder->BitBtn3});
      },
      [this] { ui::ShowModal(folder); });
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

TEST_F(MainWindowTest, SpaceAndEnterPressTheFocusedButton) {
  ops.clear();
  inside->SpeedButton2->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(ops, (std::vector<std::string>{"Action1Execute", "Action1Execute"}));

  ops.clear();
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  // The external button discards what is typed on it, but not its keys:
  // Space, as Enter does, runs its own search.
  inside->btnGaibuSearch->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QCoreApplication::processEvents();
  EXPECT_EQ(ops, (std::vector<std::string>{"GaibuSearch"}));
  EXPECT_EQ(inside->cbSearchWord->currentText(), QStringLiteral("ねこ"));
}

TEST_F(MainWindowTest, TheSearchOrderIsChangedWithTheKeyboardAlone) {
  form->SetSearchDicList({"/d/a.dic", "/d/b.dic", "/d/c.dic"});
  ui::PushModalScript([this](ui::ModalCall&) {
    Activate(dicList);
    auto key = [](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
      QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(k), m);
      QCoreApplication::processEvents();  // as the event loop runs between two keys
    };
    dicList->SrcList->setFocus();
    key(Qt::Key_End);  // c.dic chosen
    EXPECT_TRUE(dicList->UpBtn->isEnabled());
    for (int i = 0; i < 10 && QApplication::focusWidget() != dicList->UpBtn; ++i) key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dicList->UpBtn);
    key(Qt::Key_Space);  // c before b
    key(Qt::Key_Space);  // c before a
    // Two entries chosen: the order buttons step aside.
    dicList->SrcList->setFocus();
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_FALSE(dicList->UpBtn->isEnabled());
    key(Qt::Key_Up);
    EXPECT_TRUE(dicList->UpBtn->isEnabled());
    dicList->OKBtn->setFocus();
    key(Qt::Key_Return);
    return ui::mrNone;
  });
  inside->mnuSetDic->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->GetSearchDicList(), (std::vector<std::string>{"/d/c.dic", "/d/a.dic", "/d/b.dic"}));
}

// ---- What a screen reader is given ----

// Every button, list, combo box, check box, edit field and table under
// `iface`, as Qt exports them over AT-SPI, that has no name.
void CollectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int depth = 0) {
  if (iface == nullptr || depth > 30) return;
  static const QAccessible::Role kNamed[] = {QAccessible::PushButton,     QAccessible::CheckBox,
                                             QAccessible::RadioButton,    QAccessible::ComboBox,
                                             QAccessible::List,           QAccessible::EditableText,
                                             QAccessible::Table,          QAccessible::ButtonMenu,
                                             QAccessible::ButtonDropDown, QAccessible::SpinBox};
  if (std::find(std::begin(kNamed), std::end(kNamed), iface->role()) != std::end(kNamed) &&
      iface->text(QAccessible::Name).trimmed().isEmpty()) {
    QObject* o = iface->object();
    unnamed << (o != nullptr ? QStringLiteral("%1 %2").arg(o->metaObject()->className(), o->objectName())
                             : QStringLiteral("role %1").arg(iface->role()));
  }
  for (int i = 0; i < iface->childCount(); ++i) CollectUnnamed(iface->child(i), unnamed, depth + 1);
}

TEST_F(MainWindowTest, EveryControlOfEveryWindowHasANameThatTypingAndHintsLeave) {
  for (QWidget* window : std::initializer_list<QWidget*>{form, dicList, setWord, about, folder}) {
    QStringList unnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << window->objectName().toStdString() << ": "
                                   << unnamed.join(QStringLiteral(", ")).toStdString();
  }
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(inside->cbSearchWord);
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  EXPECT_EQ(box->text(QAccessible::Name), QStringLiteral("検索語"));
  EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("ねこ"));
  EXPECT_EQ(box->role(), QAccessible::ComboBox);
  ASSERT_NE(box->focusChild(), nullptr);
  EXPECT_EQ(box->focusChild()->text(QAccessible::Name), QStringLiteral("検索語"));

  auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
  EXPECT_EQ(nameOf(dicList->IncludeBtn), QStringLiteral("除外"));
  EXPECT_EQ(nameOf(dicList->ExAllBtn), QStringLiteral("すべて追加"));
  EXPECT_EQ(nameOf(inside->SpeedButton1), QStringLiteral("終了"));

  inside->N5->trigger();  // hints off
  ASSERT_FALSE(form->GetHintVisible());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(inside->btnSearch)->text(QAccessible::Description),
            QStringLiteral("ＥＮＴＥＲ：検索を行います"));
}

// The status line is a notification whose name is the status; that its
// news is signalled to AT-SPI is checked by tests/a11y (a real listener).
TEST_F(MainWindowTest, TheEndAndTheCancelOfASearchLeaveTheirStatusToAScreenReaderAndTheFocusOnTheGrid) {
  std::string lines;
  for (int i = 0; i < 200; ++i) lines += sj("ねこ") + "\r\n";
  form->SetSearchDicList({WriteFile("many.dic", lines), WriteFile("one.dic", sj("ねこ") + "\r\n")});
  QAccessibleInterface* status = QAccessible::queryAccessibleInterface(inside->StatusPanel);
  ASSERT_EQ(status->role(), QAccessible::Notification);
  inside->cbSearchWord->setEditText(QStringLiteral("ねこ"));
  inside->cbSearchWord->setFocus();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  ASSERT_TRUE(form->Session().SearchOpen);
  EXPECT_EQ(status->text(QAccessible::Name), QStringLiteral("Enterキーで続行"));
  // Space on 検索中止: the focus goes from the button to the grid, by no
  // other control on the way (a screen reader would hear it first).
  inside->btnSearchCancel->setFocus();
  Widgets visited;
  auto watch = QObject::connect(qApp, &QApplication::focusChanged,
                                [&](QWidget*, QWidget* now) { visited.push_back(now); });
  QTest::keyClick(inside->btnSearchCancel, Qt::Key_Space);
  QObject::disconnect(watch);
  EXPECT_EQ(status->text(QAccessible::Name), QStringLiteral("検索中止"));
  EXPECT_EQ(Names(visited), Names({inside->Grid}));

  std::vector<std::string> dics = form->GetSearchDicList();
  dics.erase(dics.begin());
  form->SetSearchDicList(dics);
  inside->LastSearchWord.clear();
  inside->cbSearchWord->setFocus();
  QTest::keyClick(inside->cbSearchWord, Qt::Key_Return);
  EXPECT_EQ(status->text(QAccessible::Name), QStringLiteral("検索終了"));
  EXPECT_EQ(QApplication::focusWidget(), inside->Grid);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(inside->StatusPanel2)->role(), QAccessible::Notification);
}

// ---- What is seen ----

TEST_F(MainWindowTest, RowsAreUprightAndTheCurrentRowIsMarked) {
  EXPECT_FALSE(inside->Grid->font().italic());
  EXPECT_FALSE(inside->Grid2->font().italic());
  ui::TStringGrid* grid = inside->Grid;
  grid->SetRowCount(2);
  grid->SetCell(0, 0, sj("ねこ"));
  grid->SetCell(0, 1, sj("ねこ"));
  auto rowImage = [grid](int row) {
    const QRect r = grid->visualRect(grid->model()->index(row, 0));
    return grid->viewport()->grab(r).toImage();
  };
  grid->SetRow(0);
  EXPECT_NE(rowImage(0), rowImage(1));
  const QImage marked = rowImage(0);
  grid->SetRow(1);
  EXPECT_EQ(rowImage(1), marked) << "the mark moves with the current row";
}

// ---- Qt's own dialogs ----

TEST_F(MainWindowTest, QtsOwnDialogsSpeakJapaneseAndShowTheFiltersAsWritten) {
  ui::SetModalScripting(false);
  QStringList filters;
  QString cancel;
  QTimer::singleShot(0, [&] {
    QFileDialog* dlg = nullptr;
    ASSERT_TRUE(AwaitActiveModal("the file dialog", dlg));
    auto* types = dlg->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; types != nullptr && i < types->count(); ++i) filters << types->itemText(i);
    if (auto* box = dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
      cancel = box->button(QDialogButtonBox::Cancel)->text();
    dlg->reject();
  });
  dicList->EntryBtnClick();
  ui::SetModalScripting(true);
  EXPECT_EQ(filters, (QStringList{QStringLiteral("辞書ファイル(*.DIC,*.TXT,*.RUT)"), QStringLiteral("辞書ファイル(*.DIC)"),
                                  QStringLiteral("テキストファイル(*.TXT)"), QStringLiteral("RUTEファイル(*.RUT)"),
                                  QStringLiteral("全てのファイル(*.*)")}));
  EXPECT_EQ(cancel, QStringLiteral("キャンセル"));
}

TEST_F(MainWindowTest, TheFontDialogNamesItsControlsAndStartsFromTheFontGiven) {
  ui::FontChooser dlg;
  auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
  EXPECT_EQ(nameOf(dlg.FamilyList), QStringLiteral("フォント"));
  EXPECT_EQ(nameOf(dlg.StyleList), QStringLiteral("スタイル"));
  EXPECT_EQ(nameOf(dlg.SizeBox), QStringLiteral("サイズ"));
  EXPECT_EQ(dlg.focusWidget(), dlg.FamilyList) << "it opens on the family list";

  QFont bold(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
  bold.setUnderline(true);
  dlg.SetFont(bold);
  ASSERT_NE(dlg.FamilyList->currentItem(), nullptr);
  EXPECT_EQ(dlg.FamilyList->currentItem()->text(), QStringLiteral("DejaVu Sans"));
  QFont chosen = dlg.SelectedFont();
  EXPECT_EQ(chosen.family(), QStringLiteral("DejaVu Sans"));
  EXPECT_TRUE(chosen.bold());
  EXPECT_EQ(chosen.pointSize(), 14);
  EXPECT_TRUE(chosen.underline());
  EXPECT_FALSE(chosen.strikeOut());

  // A design font that this desktop lacks starts from the face shown in
  // its place, at its size in points.
  QFont design;
  design.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic")});
  design.setPixelSize(16);
  dlg.SetFont(design);
  chosen = dlg.SelectedFont();
  EXPECT_EQ(chosen.family(), QFontInfo(design).family());
  EXPECT_EQ(chosen.pointSize(), QFontInfo(design).pointSize());
  EXPECT_FALSE(chosen.bold());
  EXPECT_FALSE(chosen.underline());
}

}  // namespace
}  // namespace tavo::test
