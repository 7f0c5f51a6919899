// The folder tree on real folders: filling, merging, finding and selecting,
// renaming, the mouse press states, its events and check boxes, the
// watcher's reports, and its view. The desktop directory is the test's own
// home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellFolderTree.h"
#include "folderbrowse/ZuShellTreeModel.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/files/Files.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {
namespace {

constexpr TShDirWatcherTiming kShort{60, 40};

std::vector<std::string> Texts(const TShellFolderNode* node) {
  std::vector<std::string> texts;
  for (int i = 0; i < node->Count(); ++i) texts.push_back(node->Child(i)->Text);
  return texts;
}

TShellFolderNode* Child(const TShellFolderNode* node, const std::string& text) {
  for (int i = 0; node != nullptr && i < node->Count(); ++i)
    if (node->Child(i)->Text == text) return node->Child(i);
  return nullptr;
}

class ShellTree : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/alpha/inner");
    MakeDir(Home() + "/beta");
    MakeDir(Home() + "/.secret/deeper");
  }
  void TearDown() override {
    tester_.reset();
    model_.reset();
    tree_.reset();
    EXPECT_TRUE(AllThreadsEnded());
    ShellTest::TearDown();
  }
  // A tree with its model (checked by Qt's model tester) and a count of
  // change notifications.
  TShellFolderTree& Make() {
    tree_ = std::make_unique<TShellFolderTree>(kShort);
    model_ = std::make_unique<TShellTreeModel>(*tree_);
    tester_ = std::make_unique<QAbstractItemModelTester>(model_.get(),
                                                         QAbstractItemModelTester::FailureReportingMode::Fatal);
    tree_->OnChange = [this] { ++changes_; };
    tree_->BuildRoot();
    changes_ = 0;
    return *tree_;
  }
  TShellFolderNode* Desk() { return tree_->Root(); }

  std::unique_ptr<TShellFolderTree> tree_;
  std::unique_ptr<TShellTreeModel> model_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
  int changes_ = 0;
};

TEST_F(ShellTree, TheDesktopShowsTheVirtualFoldersItsSettingsAllow) {
  TShellFolderTree& tree = Make();
  const std::string computer = "\x83\x7D\x83\x43\x20\x83\x52\x83\x93\x83\x73\x83\x85\x81\x5B\x83\x5E";
  const std::string network = "\x83\x6C\x83\x62\x83\x67\x83\x8F\x81\x5B\x83\x4E";
  const std::string trash = "\x82\xB2\x82\xDD\x94\xA0";
  EXPECT_EQ(Texts(Desk()), (std::vector<std::string>{computer, network, trash, ".secret", "alpha", "beta"}));
  EXPECT_TRUE(Desk()->Expanded);
  EXPECT_TRUE(Desk()->Child(0)->Expanded);  // My Computer
  EXPECT_EQ(tree.Selected(), Desk());

  tree.SetShVirtuaItems({});
  EXPECT_EQ(Texts(Desk()), (std::vector<std::string>{computer, ".secret", "alpha", "beta"}));
  tree.SetShVirtuaItems({itNetWork});
  tree.SetIncludeHidden(false);
  EXPECT_EQ(Texts(Desk()), (std::vector<std::string>{computer, network, "alpha", "beta"}));
}

TEST_F(ShellTree, ARefreshKeepsTheNodesThatStillExist) {
  TShellFolderTree& tree = Make();
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  TShellFolderNode* beta = Child(Desk(), "beta");
  ASSERT_TRUE(tree.Expand(alpha));
  TShellFolderNode* inner = Child(alpha, "inner");
  ASSERT_NE(inner, nullptr);
  EXPECT_FALSE(beta->HasChildren);

  MakeDir(Home() + "/alphabet");
  MakeDir(Home() + "/beta/new");
  ASSERT_EQ(::rmdir((Home() + "/.secret/deeper").c_str()), 0);
  ASSERT_EQ(::rmdir((Home() + "/.secret").c_str()), 0);
  tree.RefreshAll();
  EXPECT_EQ(Child(Desk(), "alpha"), alpha);
  EXPECT_EQ(Child(Desk(), "beta"), beta);
  EXPECT_EQ(Child(alpha, "inner"), inner);
  EXPECT_TRUE(alpha->Expanded);
  EXPECT_TRUE(beta->HasChildren);  // its mark is read again
  EXPECT_EQ(Child(Desk(), ".secret"), nullptr);
  EXPECT_EQ(Desk()->Count(), 6);
  EXPECT_EQ(Desk()->Child(4)->Text, "alphabet");  // at its sorted place
  EXPECT_EQ(changes_, 0);
}

TEST_F(ShellTree, SelectingAPathExpandsItsAncestorsAndNotifiesOnce) {
  TShellFolderTree& tree = Make();
  MakeDir(Home() + "/alpha/inner/x/y");
  const std::string deep = Home() + "/alpha/inner/x/y";
  tree.SetSelectedPath(deep);
  ASSERT_NE(tree.Selected(), nullptr);
  EXPECT_EQ(tree.Selected()->Text, "y");
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(tree.GetSelectedPath(), deep);
  // A path leads through My Computer and the volume that holds it.
  EXPECT_EQ(tree.Selected()->Level(), CountItemIDs(Pidl(ListOf(deep))));
  for (TShellFolderNode* n = tree.Selected()->Parent(); n != nullptr; n = n->Parent()) EXPECT_TRUE(n->Expanded);
  tree.SetSelectedPath(deep + "/");  // the same folder: nothing moves
  EXPECT_EQ(changes_, 1);

  // Where the path leads to no folder node, the selection stays.
  MakeFile(Home() + "/alpha/file.rut");
  for (const std::string& nowhere : {Home() + "/alpha/file.rut", Home() + "/missing", std::string("relative")}) {
    tree.SetSelectedPath(nowhere);
    EXPECT_EQ(tree.GetSelectedPath(), deep) << nowhere;
  }
  EXPECT_EQ(changes_, 1);

  // The root names the desktop directory; My Computer has no path.
  tree.Select(Desk());
  EXPECT_EQ(tree.GetSelectedPath(), Home());
  tree.Select(Desk()->Child(0));
  EXPECT_EQ(tree.GetSelectedPath(), "");
  EXPECT_EQ(changes_, 3);
}

TEST_F(ShellTree, AFolderTheFilterHidesIsMissedWithoutEnd) {
  TShellFolderTree& tree = Make();
  tree.SetIncludeHidden(false);
  tree.SetSelectedPath(Home() + "/beta");
  changes_ = 0;
  Pidl hidden(ListOf(Home() + "/.secret/deeper"));
  EXPECT_EQ(tree.FindNodeByPIDL(hidden), Desk());
  tree.SetSelectedPath(Home() + "/.secret");
  EXPECT_EQ(tree.GetSelectedPath(), Home() + "/beta");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ShellTree, RenamingKeepsTheNodeItsExpansionAndSortedPlace) {
  TShellFolderTree& tree = Make();
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  tree.Select(alpha);
  ASSERT_TRUE(tree.Expand(alpha));
  changes_ = 0;
  EXPECT_FALSE(tree.CanEdit(Desk()));
  ASSERT_TRUE(tree.CanEdit(alpha));
  ASSERT_TRUE(tree.RenameNode(alpha, "gamma"));
  EXPECT_EQ(alpha->Text, "gamma");
  EXPECT_EQ(Desk()->Child(Desk()->Count() - 1), alpha);
  EXPECT_EQ(Desk()->Child(Desk()->Count() - 2)->Text, "beta");
  EXPECT_TRUE(alpha->Expanded);
  EXPECT_NE(Child(alpha, "inner"), nullptr);
  EXPECT_EQ(tree.GetSelectedPath(), Home() + "/gamma");
  EXPECT_EQ(changes_, 1);  // the partners follow the new name
  EXPECT_TRUE(DirectoryExists(Home() + "/gamma/inner"));

  // A name that is taken is refused, and the node shows its own again.
  EXPECT_FALSE(tree.RenameNode(alpha, "beta"));
  EXPECT_EQ(alpha->Text, "gamma");
  EXPECT_EQ(changes_, 1);
}

TEST_F(ShellTree, APressedButtonHoldsTheSelectionUntilItIsReleased) {
  TShellFolderTree& tree = Make();
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  TShellFolderNode* beta = Child(Desk(), "beta");
  tree.LeftButtonDown(alpha, true);
  EXPECT_EQ(tree.DropHiliteNode(), alpha);
  EXPECT_FALSE(tree.Select(beta));  // refused while the button is down
  tree.LeftButtonUp();
  EXPECT_EQ(tree.Selected(), alpha);
  EXPECT_EQ(tree.DropHiliteNode(), nullptr);

  tree.RightButtonDown(Desk());  // the desktop prepares nothing
  EXPECT_EQ(tree.DragState(), dsIdle);
  tree.RightButtonDown(beta);
  EXPECT_EQ(tree.DragState(), dsRightPressed);
  EXPECT_FALSE(tree.Select(beta));
  EXPECT_FALSE(tree.CanEdit(beta));
  tree.RightButtonUp();  // no popup is linked: released, the tree is free again
  EXPECT_EQ(tree.DragState(), dsIdle);
  EXPECT_EQ(tree.DropHiliteNode(), nullptr);
  tree.SetSelectedPath(Home() + "/beta");
  EXPECT_EQ(tree.GetSelectedPath(), Home() + "/beta");
  EXPECT_EQ(changes_, 2);
}

TEST_F(ShellTree, TheWatcherFollowsTheExpandedFoldersAndTheirChanges) {
  TShellFolderTree& tree = Make();
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  ASSERT_TRUE(tree.Expand(alpha));
  tree.Select(Child(alpha, "inner"));
  // The desktop and alpha, each without its sub-tree; not My Computer,
  // which has no folder of its own.
  EXPECT_EQ(tree.Watcher()->Folders(), (std::vector<std::string>{Home() + "/", Home() + "/alpha/"}));
  // Once a folder made in alpha shows, the worker watches.
  bool watching = false;
  for (int i = 0; i < 20 && !watching; ++i) {
    MakeDir(Home() + "/alpha/probe" + std::to_string(i));
    watching = WaitUntil("the probe folder in the tree", [&] { return Child(alpha, std::string("probe").append(std::to_string(i))) != nullptr; }, std::chrono::milliseconds(500));
  }
  ASSERT_TRUE(watching);
  changes_ = 0;

  RemoveAll(Home() + "/alpha/inner");
  ASSERT_TRUE(WaitUntil("the removed folder to leave the tree", [&] { return Child(alpha, "inner") == nullptr; }));
  EXPECT_EQ(tree.Selected(), alpha);  // the selected folder went: its parent
  EXPECT_EQ(changes_, 1);
  MakeDir(Home() + "/alpha/inner/again");
  ASSERT_TRUE(WaitUntil("the folder made again in the tree", [&] { return Child(alpha, "inner") != nullptr; }));
  EXPECT_TRUE(Child(alpha, "inner")->HasChildren);

  tree.Collapse(alpha);
  EXPECT_EQ(tree.Watcher()->Folders(), std::vector<std::string>{Home() + "/"});
}


TEST_F(ShellTree, ItsEventsMayRefuseASelectionAnExpansionACollapseAndAnEdit) {
  TShellFolderTree& tree = Make();
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  TShellFolderNode* beta = Child(Desk(), "beta");
  bool allow = false;
  std::vector<std::string> asked;
  tree.OnChanging = [&](TShellFolderNode* node, bool& ok) { asked.push_back(node->Text); ok = allow; };
  EXPECT_FALSE(tree.Select(beta));
  tree.SetSelectedPath(Home() + "/alpha");
  EXPECT_EQ(tree.Selected(), Desk());
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(asked, (std::vector<std::string>{"beta", "alpha"}));
  allow = true;
  EXPECT_TRUE(tree.Select(beta));
  EXPECT_EQ(changes_, 1);

  // An expansion refused leaves the node shut, though refreshed: the
  // handler sees the children it would show.
  int expanded = 0, collapsed = 0;
  tree.OnExpanded = [&](TShellFolderNode*) { ++expanded; };
  tree.OnCollapsed = [&](TShellFolderNode*) { ++collapsed; };
  int childrenSeen = -1;
  tree.OnExpanding = [&](TShellFolderNode* node, bool& ok) {
    childrenSeen = node->Count();
    ok = allow = !allow;
  };
  EXPECT_FALSE(tree.Expand(alpha));  // allow was true: refused now
  EXPECT_FALSE(alpha->Expanded);
  EXPECT_EQ(childrenSeen, 1);
  EXPECT_EQ(expanded, 0);
  EXPECT_TRUE(tree.Expand(alpha));
  EXPECT_EQ(expanded, 1);
  tree.OnCollapsing = [](TShellFolderNode*, bool& ok) { ok = false; };
  EXPECT_FALSE(tree.Collapse(alpha));
  EXPECT_TRUE(alpha->Expanded);
  EXPECT_EQ(collapsed, 0);
  tree.OnCollapsing = nullptr;
  EXPECT_TRUE(tree.Collapse(alpha));
  EXPECT_EQ(collapsed, 1);
  tree.OnExpanding = nullptr;

  // An edit refused; a typed name the handler changes.
  tree.OnEditing = [&](TShellFolderNode* node, bool& ok) { ok = node != beta; };
  EXPECT_FALSE(tree.CanEdit(beta));
  EXPECT_TRUE(tree.CanEdit(alpha));
  tree.OnEdited = [](TShellFolderNode*, std::string& text) { text += "-renamed"; };
  ASSERT_TRUE(tree.RenameNode(alpha, "gamma"));
  EXPECT_TRUE(DirectoryExists(Home() + "/gamma-renamed/inner"));
  EXPECT_EQ(alpha->Text, "gamma-renamed");

  // Deleted nodes are told, children first, their items already gone.
  TShellFolderNode* inner = Child(alpha, "inner");
  ASSERT_NE(inner, nullptr);
  MakeDir(Home() + "/gamma-renamed/inner/deep");
  ASSERT_TRUE(tree.Expand(inner));
  std::vector<std::string> deleted;
  tree.OnDeletion = [&](TShellFolderNode* node) {
    deleted.push_back(node->Text);
    EXPECT_EQ(node->Item(), nullptr);
  };
  RemoveAll(Home() + "/gamma-renamed/inner");
  tree.RefreshNode(alpha);
  EXPECT_EQ(deleted, (std::vector<std::string>{"deep", "inner"}));

  // The icons the view asks for may be changed.
  const int own = tree.GetImageIndex(beta);
  EXPECT_GE(own, 0);
  tree.OnGetImageIndex = [&](TShellFolderNode* node) {
    if (node == beta) node->ImageIndex = own + 1;
  };
  tree.OnGetSelectedIndex = [](TShellFolderNode* node) { node->SelectedIndex = -1; };
  EXPECT_EQ(tree.GetImageIndex(beta), own + 1);
  EXPECT_EQ(tree.GetImageIndex(Desk()), Desk()->Item()->GetIconIndex());
  EXPECT_EQ(tree.GetSelectedIndex(beta), -1);
}

TEST_F(ShellTree, CheckboxesSwitchedOffBuildTheNodesAnewKeepingTheSelectedFolder) {
  TShellFolderTree& tree = Make();
  tree.SetSelectedPath(Home() + "/alpha/inner");
  TShellFolderNode* alpha = Child(Desk(), "alpha");
  const QModelIndex alphaIndex = model_->IndexOf(alpha);
  EXPECT_FALSE(model_->data(alphaIndex, Qt::CheckStateRole).isValid());
  tree.SetCheckboxes(true);
  EXPECT_TRUE(model_->flags(alphaIndex) & Qt::ItemIsUserCheckable);
  EXPECT_EQ(model_->data(alphaIndex, Qt::CheckStateRole), Qt::Unchecked);
  ASSERT_TRUE(model_->setData(alphaIndex, Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(alpha->Checked);

  // Nothing refuses the selection of the folder selected before.
  int deleted = 0;
  tree.OnDeletion = [&](TShellFolderNode*) { ++deleted; };
  tree.OnChanging = [](TShellFolderNode*, bool& ok) { ok = false; };
  changes_ = 0;
  tree.SetCheckboxes(false);
  EXPECT_GT(deleted, 5);
  // The path led through My Computer: its folders are open again.
  ASSERT_NE(tree.Selected(), nullptr);
  EXPECT_EQ(tree.GetSelectedPath(), Home() + "/alpha/inner");
  EXPECT_TRUE(tree.Selected()->Parent()->Expanded);
  alpha = Child(Desk(), "alpha");
  ASSERT_NE(alpha, nullptr);
  EXPECT_FALSE(alpha->Checked);
  EXPECT_FALSE(model_->data(model_->IndexOf(alpha), Qt::CheckStateRole).isValid());
  EXPECT_GE(changes_, 1);  // the partners follow
  const std::vector<std::string> watched = tree.Watcher()->Folders();
  EXPECT_NE(std::find(watched.begin(), watched.end(), Home() + "/alpha/"), watched.end());
  EXPECT_FALSE(tree.Select(Child(Desk(), "beta")));  // the handler holds again
}

// The view keeps to what the tree's events refuse, checks a folder with
// Space, lets a handler paint a row, and shows a link's overlay.
TEST_F(ShellTree, TheViewFollowsTheEventsAndTheCheckboxes) {
  MakeDir(Home() + "/beta/under");
  ASSERT_EQ(::symlink((Home() + "/beta").c_str(), (Home() + "/linked").c_str()), 0);
  TZuShellTreeView view(nullptr, kShort);
  view.resize(300, 400);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  TShellFolderTree& tree = view.Tree();
  TShellFolderNode* alpha = Child(tree.Root(), "alpha");
  TShellFolderNode* beta = Child(tree.Root(), "beta");
  tree.Select(alpha);
  view.setFocus();
  tree.OnChanging = [](TShellFolderNode*, bool& ok) { ok = false; };
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(tree.Selected(), alpha);
  EXPECT_EQ(view.currentIndex(), view.Model().IndexOf(alpha));
  tree.OnChanging = nullptr;

  tree.OnExpanding = [](TShellFolderNode*, bool& ok) { ok = false; };
  QTest::keyClick(&view, Qt::Key_Right);
  EXPECT_FALSE(view.isExpanded(view.Model().IndexOf(alpha)));
  EXPECT_FALSE(alpha->Expanded);
  tree.OnExpanding = nullptr;

  auto editor = [&] {
    for (QLineEdit* e : view.viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return static_cast<QLineEdit*>(nullptr);
  };
  tree.OnEditing = [](TShellFolderNode*, bool& ok) { ok = false; };
  QTest::keyClick(&view, Qt::Key_F2);
  EXPECT_EQ(editor(), nullptr);
  tree.OnEditing = nullptr;
  QTest::keyClick(&view, Qt::Key_F2);
  ASSERT_NE(editor(), nullptr);
  QTest::keyClick(editor(), Qt::Key_Escape);
  ASSERT_TRUE(WaitUntil("the editor to close", [&] { return editor() == nullptr; }));
  view.setFocus();

  tree.SetCheckboxes(true);
  QTest::keyClick(&view, Qt::Key_Space);
  EXPECT_TRUE(alpha->Checked);
  const QRect betaRect = view.visualRect(view.Model().IndexOf(beta));
  QStyleOptionViewItem option;
  option.initFrom(&view);
  option.rect = betaRect;
  option.features |= QStyleOptionViewItem::HasCheckIndicator;
  const QRect box = view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, box.center());
  EXPECT_TRUE(beta->Checked);
  EXPECT_EQ(tree.Selected(), beta);

  view.OnCustomDrawItem = [&](TShellFolderNode* node, QPainter& p, const QStyleOptionViewItem& o, bool& def) {
    if (node != alpha) return;
    p.fillRect(o.rect, Qt::red);
    def = false;
  };
  const QImage shot = view.viewport()->grab().toImage();
  const QRect alphaRect = view.visualRect(view.Model().IndexOf(alpha));
  EXPECT_EQ(shot.pixelColor(alphaRect.right() - 2, alphaRect.center().y()), QColor(Qt::red));
  EXPECT_NE(shot.pixelColor(betaRect.right() - 2, betaRect.center().y()), QColor(Qt::red));

  auto iconOf = [&](const std::string& name) {
    return view.Model().data(view.Model().IndexOf(Child(tree.Root(), name)), Qt::DecorationRole).value<QIcon>()
        .pixmap(16, 16).toImage();
  };
  EXPECT_EQ(Child(tree.Root(), "linked")->OverlayIndex, 1);
  EXPECT_NE(iconOf("linked"), iconOf("beta"));
}

}  // namespace
}  // namespace tavo::test
