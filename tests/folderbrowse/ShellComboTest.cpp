// The path combo on real folders: its rows, following a tree and driving
// it, temporary path rows, the bounded walk, drops on its folder, and its
// control's keyboard and drawing. The desktop directory is the test's own home.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QPainter>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellComboBox.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {
namespace {

constexpr TShDirWatcherTiming kShort{60, 40};
const std::string kTrash = "\x82\xB2\x82\xDD\x94\xA0";  // ごみ箱

class ShellCombo : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/alpha/inner/x/y");
    MakeDir(Home() + "/beta");
  }
  void TearDown() override {
    box_.reset();
    view_.reset();
    combo_.reset();
    tree_.reset();
    EXPECT_TRUE(AllThreadsEnded());
    ShellTest::TearDown();
  }
  // A tree and a combo linked to it.
  TShellPathCombo& Make() {
    tree_ = std::make_unique<TShellFolderTree>(kShort);
    tree_->BuildRoot();
    combo_ = std::make_unique<TShellPathCombo>();
    combo_->CreateWindow();
    tree_->SetShellComboBox(combo_.get());
    return *combo_;
  }
  std::vector<std::string> Level1Texts() {
    std::vector<std::string> texts;
    for (int i = 0; i < combo_->Items().Count(); ++i)
      if (combo_->Items().ItemAt(i)->Level() == 1) texts.push_back(combo_->RowText(i));
    return texts;
  }
  int TemporaryRows() {
    int n = 0;
    for (int i = 0; i < combo_->Items().Count(); ++i) n += combo_->Items().ItemAt(i)->Temporary ? 1 : 0;
    return n;
  }
  int RowOf(const std::string& path) {
    for (int i = 0; i < combo_->Items().Count(); ++i)
      if (combo_->FieldText(i) == path) return i;
    return -1;
  }

  std::unique_ptr<TShellFolderTree> tree_;
  std::unique_ptr<TShellPathCombo> combo_;
  std::unique_ptr<TZuShellTreeView> view_;
  std::unique_ptr<TZuShellComboBox> box_;
};

TEST_F(ShellCombo, ItsRowsAreTheDesktopItsFoldersAndMyComputersVolumes) {
  TShellPathCombo& combo = Make();
  TShellComboList& rows = combo.Items();
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(rows.ItemAt(0)->Level(), 0);
  EXPECT_EQ(rows.ItemAt(1)->ItemType(), itMyComputer);
  EXPECT_EQ(rows.ItemAt(2)->Level(), 2);  // the first volume, right below
  EXPECT_EQ(rows.FirstChild(rows.ItemAt(1)), rows.ItemAt(2));
  EXPECT_EQ(TShellComboList::ItemIndent(*rows.ItemAt(2)), 24);
  const std::vector<std::string> level1 = Level1Texts();
  ASSERT_EQ(level1.size(), 5u);
  EXPECT_EQ(level1[2], kTrash);
  EXPECT_EQ(level1[3], "alpha");
  EXPECT_EQ(TemporaryRows(), 0);
  EXPECT_EQ(combo.FieldText(0), combo.RowText(0));  // the desktop shows its name

  tree_->SetShVirtuaItems({itNetWork});
  EXPECT_EQ(Level1Texts().size(), 4u);  // no Recycle Bin
  EXPECT_EQ(Level1Texts()[2], "alpha");
}

TEST_F(ShellCombo, ItFollowsTheTreeWithTemporaryPathRowsAndDrivesIt) {
  TShellPathCombo& combo = Make();
  const int permanent = combo.Items().Count();
  const std::string deep = Home() + "/alpha/inner/x/y";
  tree_->SetSelectedPath(deep);
  ASSERT_EQ(combo.FieldText(combo.ItemIndex()), deep);
  const int added = combo.Items().Count() - permanent;
  EXPECT_EQ(TemporaryRows(), added);
  EXPECT_GT(added, 4);
  // The same folder again changes nothing.
  tree_->SetSelectedPath(deep);
  combo.SelectComboPIDL(Pidl(ListOf(deep)));
  EXPECT_EQ(combo.Items().Count(), permanent + added);

  // A temporary row in the middle: only the rows below it go.
  const int inner = RowOf(Home() + "/alpha/inner");
  ASSERT_GT(inner, 0);
  combo.Change(inner);
  EXPECT_EQ(tree_->GetSelectedPath(), Home() + "/alpha/inner");
  EXPECT_EQ(combo.Items().Count(), permanent + added - 2);
  EXPECT_EQ(combo.ItemIndex(), inner);

  // A permanent row: every temporary row goes.
  combo.Change(0);
  EXPECT_EQ(TemporaryRows(), 0);
  EXPECT_EQ(tree_->Selected(), tree_->Root());

  // A desktop folder that is not among the rows (made after they were):
  // the walk ends at the desktop and adds nothing.
  MakeDir(Home() + "/zzz");
  Pidl desktopFolder(MakeFsItemID(true, "zzz"));
  EXPECT_EQ(combo.LocatePIDL(desktopFolder), 0);
  EXPECT_EQ(combo.Items().Count(), permanent);

  // The window goes and comes: the selected folder stays.
  tree_->SetSelectedPath(deep);
  combo.DestroyWindow();
  EXPECT_EQ(combo.Items().Count(), 0);
  combo.CreateWindow();
  EXPECT_EQ(combo.FieldText(combo.ItemIndex()), deep);
}

TEST_F(ShellCombo, ADropGoesToTheSelectedRowsFolder) {
  TShellPathCombo& combo = Make();
  MakeFile(Home() + "/beta/doc.rut", "doc");
  Pidl parent(ListOf(Home() + "/beta"));
  Pidl full(ListOf(Home() + "/beta/doc.rut"));
  Pidl item(LastItemID(full));
  PCItemIDList items[] = {item.get()};
  const ShellDataObject data = MakeShellDataObject(parent, items);

  combo.SetItemIndex(-1);
  std::uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  combo.DragEnter(&data, MK_LBUTTON, {}, effect);
  combo.DragOver(MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);  // no row selected
  combo.DragLeave();

  combo.SetItemIndex(0);
  tree_->SetSelectedPath(Home() + "/alpha");
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  combo.DragEnter(&data, MK_LBUTTON, {}, effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  combo.DragOver(MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(combo.Drop(&data, 0, {}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_TRUE(std::filesystem::exists(Home() + "/alpha/doc.rut"));
  EXPECT_EQ(combo.DropSite().CurrentDragObject(), nullptr);
  EXPECT_EQ(combo.Drop(&data, 0, {}, effect), E_INVALIDARG);

  // The Recycle Bin's row is no drop target.
  combo.SetItemIndex(RowOf(kTrash));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  combo.DragEnter(&data, MK_LBUTTON, {}, effect);
  combo.DragOver(MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
}

TEST_F(ShellCombo, TheControlFollowsTheTreeViewAndTheKeyboardDrivesIt) {
  view_ = std::make_unique<TZuShellTreeView>(nullptr, kShort);
  box_ = std::make_unique<TZuShellComboBox>();
  QAbstractItemModelTester tester(box_->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  view_->Tree().SetShellComboBox(&box_->Combo());
  box_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(box_.get()));
  view_->SetSelectedPath(Home() + "/beta");
  EXPECT_EQ(box_->currentIndex(), box_->Combo().ItemIndex());
  EXPECT_EQ(box_->Combo().FieldText(box_->currentIndex()), Home() + "/beta");
  EXPECT_EQ(box_->accessibleName(), QStringLiteral("フォルダの場所"));

  box_->setCurrentIndex(0);
  box_->setFocus();
  QTest::keyClick(box_.get(), Qt::Key_Down);
  EXPECT_EQ(box_->currentIndex(), 1);
  ASSERT_NE(view_->Tree().Selected(), nullptr);
  EXPECT_EQ(view_->Tree().Selected()->Item()->ItemType(), itMyComputer);
}


TEST_F(ShellCombo, ASelectedRowTakesTheHighlightOnlyBehindItsText) {
  view_ = std::make_unique<TZuShellTreeView>(nullptr, kShort);
  box_ = std::make_unique<TZuShellComboBox>();
  view_->Tree().SetShellComboBox(&box_->Combo());
  view_->SetSelectedPath(Home() + "/beta");
  const int row = box_->currentIndex();
  const int indent = 12 * box_->Combo().Items().ItemAt(row)->Level();
  auto paint = [&](QStyle::State state) {
    QStyleOptionViewItem o;
    o.initFrom(box_->view());
    o.rect = QRect(0, 0, 300, 24);
    o.state = QStyle::State_Enabled | state;
    o.palette.setColor(QPalette::Highlight, Qt::red);
    o.palette.setColor(QPalette::Base, Qt::white);
    QImage image(300, 24, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter p(&image);
    box_->view()->itemDelegate()->paint(&p, o, box_->model()->index(row, 0));
    return image;
  };
  // The indent, the icon's 16 pixels and 4 more: there the text box starts
  // (a pixel before the text).
  const QImage selected = paint(QStyle::State_Selected);
  EXPECT_EQ(selected.pixelColor(indent + 20, 1), QColor(Qt::red));
  EXPECT_EQ(selected.pixelColor(indent + 8, 1), QColor(Qt::green));  // above the icon
  EXPECT_EQ(selected.pixelColor(299, 12), QColor(Qt::green));        // past the text
  EXPECT_EQ(paint({}).pixelColor(indent + 20, 1), QColor(Qt::white));
}

}  // namespace
}  // namespace tavo::test
