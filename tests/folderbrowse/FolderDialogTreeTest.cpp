// The folder tree in the search-folder dialog: the path box, the up button
// and the start folder move it, and it moves the path box, also after a
// right-button click on a folder; screen readers get a tree.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <string>

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/ZuShellTreeModel.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "tests/folderbrowse/FolderDialogFixture.h"

namespace tavo::test {
namespace {

class FolderDialogTree : public FolderDialogFixture {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/alpha/inner");
    MakeDir(Home() + "/beta");
    Open();
  }
};

TEST_F(FolderDialogTree, PathBoxUpButtonAndStartFolderMoveTheTreeAfterARightClick) {
  TShellFolderNode* desk = Tree().Tree().Root();
  TShellFolderNode* alpha = nullptr;
  for (int i = 0; i < desk->Count(); ++i)
    if (desk->Child(i)->Text == "alpha") alpha = desk->Child(i);
  ASSERT_NE(alpha, nullptr);
  const QRect rect = Tree().visualRect(Tree().Model().IndexOf(alpha));
  ASSERT_TRUE(rect.isValid());
  QTest::mousePress(Tree().viewport(), Qt::RightButton, {}, rect.center());
  QTest::mouseRelease(Tree().viewport(), Qt::RightButton, {}, rect.center());
  EXPECT_EQ(Tree().Tree().DragState(), dsIdle);

  // Typed into the path box, the folder is followed as soon as it parses.
  const std::string beta = Home() + "/beta";
  dlg_->ComboBox1->lineEdit()->clear();
  QTest::keyClicks(dlg_->ComboBox1->lineEdit(), QString::fromStdString(beta));
  EXPECT_EQ(Tree().GetSelectedPath(), beta);
  EXPECT_EQ(Box(), beta);

  dlg_->SpeedButton5->click();  // up one level
  EXPECT_EQ(Tree().GetSelectedPath(), Home());
  EXPECT_EQ(Box(), Home());

  dlg_->SetsStartFolder(Home() + "/alpha/inner");
  EXPECT_EQ(Tree().GetSelectedPath(), Home() + "/alpha/inner");
  EXPECT_EQ(dlg_->sStartFolder(), Home() + "/alpha/inner");

  // A left click selects on release.
  Tree().scrollTo(Tree().Model().IndexOf(alpha));
  const QRect again = Tree().visualRect(Tree().Model().IndexOf(alpha));
  QTest::mousePress(Tree().viewport(), Qt::LeftButton, {}, again.center());
  EXPECT_NE(Tree().Tree().Selected(), alpha);
  QTest::mouseRelease(Tree().viewport(), Qt::LeftButton, {}, again.center());
  EXPECT_EQ(Tree().Tree().Selected(), alpha);
  EXPECT_EQ(Box(), Home() + "/alpha");
}

TEST_F(FolderDialogTree, TheKeyboardMovesTheSelectionAndExpands) {
  TShellFolderNode* desk = Tree().Tree().Root();
  TShellFolderNode* alpha = nullptr;
  for (int i = 0; i < desk->Count(); ++i)
    if (desk->Child(i)->Text == "alpha") alpha = desk->Child(i);
  ASSERT_NE(alpha, nullptr);
  Tree().setFocus();
  while (Tree().Tree().Selected() != alpha && Tree().Tree().Selected() != desk->Child(desk->Count() - 1))
    QTest::keyClick(&Tree(), Qt::Key_Down);
  ASSERT_EQ(Tree().Tree().Selected(), alpha);
  EXPECT_EQ(Box(), Home() + "/alpha");
  QTest::keyClick(&Tree(), Qt::Key_Right);
  EXPECT_TRUE(alpha->Expanded);
  ASSERT_EQ(alpha->Count(), 1);
  EXPECT_TRUE(Tree().isExpanded(Tree().Model().IndexOf(alpha)));
  QTest::keyClick(&Tree(), Qt::Key_Down);
  EXPECT_EQ(Box(), Home() + "/alpha/inner");
}

TEST_F(FolderDialogTree, ADeepStartFolderOpensInViewWithTheRowsAtTheLeftEdge) {
  std::string deep = Home();
  for (int i = 0; i < 12; ++i) deep += "/a-folder-with-a-long-name-" + std::to_string(i);
  MakeDir(deep);
  dlg_->hide();  // as between two showings: the start folder is written while hidden
  dlg_->SetsStartFolder(deep);
  dlg_->show();
  ASSERT_EQ(Tree().GetSelectedPath(), deep);
  const QModelIndex selected = Tree().currentIndex();
  ASSERT_TRUE(WaitUntil("the selected folder's row in view", [&] {
    return Tree().viewport()->rect().contains(QPoint(0, Tree().visualRect(selected).center().y()));
  }));
  QScrollBar* sideways = Tree().horizontalScrollBar();
  ASSERT_GT(sideways->maximum(), 0) << "deeper than the view is wide";
  EXPECT_EQ(sideways->value(), 0) << "not scrolled sideways: the names above stay whole";

  // Right on a folder without subfolders scrolls the view sideways; the
  // next showing at the same folder opens at the left edge again.
  Tree().setFocus();
  for (int i = 0; i < 20 && sideways->value() < sideways->maximum(); ++i) QTest::keyClick(&Tree(), Qt::Key_Right);
  ASSERT_GT(sideways->value(), 0);
  dlg_->hide();
  dlg_->SetsStartFolder(deep);
  dlg_->show();
  EXPECT_TRUE(WaitUntil("the tree back at its left edge", [&] { return sideways->value() == 0; }));
  EXPECT_EQ(Tree().GetSelectedPath(), deep);
}

TEST_F(FolderDialogTree, ScreenReadersGetATreeOfFolders) {
  QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&Tree());
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(tree->role(), QAccessible::Tree);
  EXPECT_EQ(tree->text(QAccessible::Name), QStringLiteral("フォルダ"));
  ASSERT_NE(tree->tableInterface(), nullptr);
  QAccessibleInterface* desktop = tree->tableInterface()->cellAt(0, 0);
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->text(QAccessible::Name), QStringLiteral("デスクトップ"));
  EXPECT_TRUE(desktop->state().expanded);
  EXPECT_TRUE(desktop->state().selected);
}

}  // namespace
}  // namespace tavo::test
