// The folder tree on real folders: filling, merging, finding and selecting,
// renaming, the mouse press states and the watcher's reports. The desktop
// directory is the test's own home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractItemModelTester>

#include <string>
#include <vector>

#include "folderbrowse/ZuShellFolderTree.h"
#include "folderbrowse/ZuShellTreeModel.h"
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

}  // namespace
}  // namespace tavo::test
