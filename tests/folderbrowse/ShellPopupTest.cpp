// The shell context-menu popup on real folders: the menu it builds with and
// without own items, what each command does on disk and on the clipboard
// (the opener recorded, the Trash under the test's own home), how the
// tree and the list follow a delete and a rename, and the hints and
// pictures that Qt's menu shows.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellFileList.h"
#include "folderbrowse/ZuShellPopupMenu.h"
#include "folderbrowse/ZuShellPopupQt.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/system/Process.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

constexpr TShDirWatcherTiming kShort{60, 40};

class ShellPopup : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/alpha/inner");
    MakeDir(Home() + "/beta");
    MakeFile(Home() + "/alpha/doc.rut", "doc");
    InstallClipboard();
    SetStartProgramHook([this](const std::string& program, const std::vector<std::string>& args) {
      started_.push_back(program + " " + (args.empty() ? "" : args[0]));
      return true;
    });
    popup_.SetTracker([this](const std::vector<ShellMenuItem>& menu, DropPoint) {
      menu_ = menu;
      return choose_ ? choose_(menu) : 0;
    });
  }
  void TearDown() override {
    list_.reset();
    tree_.reset();
    SetStartProgramHook(nullptr);
    SetShellClipboard({});
    EXPECT_TRUE(AllThreadsEnded());
    ShellTest::TearDown();
  }
  // The test's own clipboard (a view installs Qt's when it is first made).
  void InstallClipboard() {
    ShellClipboardAccess c;
    c.Get = [this] { return clipboard_; };
    c.Set = [this](const ShellDataObject& d) { clipboard_ = d; };
    SetShellClipboard(c);
  }
  // The selection of one object of a folder (copies, owned).
  void Select(TShellIDList2& list, const std::string& folder, const std::string& name) {
    list.Clear();
    list.SetParentPIDL(ListOf(folder));
    Pidl full(ListOf(folder + "/" + name));
    list.Add(LastItemID(full));
  }
  // Chooses the shell entry whose text begins with `text` (CP932).
  void Choose(const std::string& text) {
    choose_ = [text](const std::vector<ShellMenuItem>& menu) {
      for (const ShellMenuItem& m : menu)
        if (m.text.rfind(text, 0) == 0) return m.command;
      return 0;
    };
  }
  static bool Has(const std::vector<ShellMenuItem>& menu, const std::string& text) {
    for (const ShellMenuItem& m : menu)
      if (m.text == text) return true;
    return false;
  }
  static std::vector<std::string> Texts(const std::vector<ShellMenuItem>& menu) {
    std::vector<std::string> texts;
    for (const ShellMenuItem& m : menu) texts.push_back(m.separator ? "-" : m.text);
    return texts;
  }

  TShellPopupMenu popup_;
  std::function<int(const std::vector<ShellMenuItem>&)> choose_;
  std::vector<ShellMenuItem> menu_;
  ShellDataObject clipboard_;
  std::vector<std::string> started_;
  std::unique_ptr<TShellFolderTree> tree_;
  std::unique_ptr<TShellFileList> list_;
};

TEST_F(ShellPopup, TheShellsEntriesFollowTheOwnItemsAtEveryDepthWithoutOverlap) {
  TShellIDList2 doc;
  Select(doc, Home() + "/alpha", "doc.rut");
  EXPECT_EQ(popup_.Popup(&doc, {}), 0);  // nothing chosen
  // Without own items the shell's entries start at 1, at position 0, and
  // the first is the default; a read-only menu offers no rename.
  ASSERT_FALSE(menu_.empty());
  EXPECT_EQ(menu_[0].command, 1);
  EXPECT_TRUE(menu_[0].isDefault);
  EXPECT_EQ(Texts(menu_), (std::vector<std::string>{sj("開く(&O)"), "-", sj("切り取り(&T)"), sj("コピー(&C)"), "-",
                                                    sj("削除(&D)"), "-", sj("パスのコピー(&A)")}));

  int clicked = 0, after = 0;
  TShellMenuItem& own = popup_.Add("Own", [&] { ++clicked; });
  TShellMenuItem& sub = popup_.Add("Sub");
  sub.Add("A");
  TShellMenuItem& deep = sub.Add("B");
  popup_.Add("Hidden").Visible = false;
  popup_.SetInsertPos(99);  // more than the own items: they come first
  popup_.ReadOnly = false;
  popup_.OnShAfterPopup = [&](TShellMenuItem& item, const TShellIDList&) { after += &item == &own ? 1 : 100; };
  choose_ = [&](const std::vector<ShellMenuItem>& menu) { return menu[0].command; };
  EXPECT_EQ(popup_.Popup(&doc, {}), own.Command());
  EXPECT_EQ(clicked, 1);
  EXPECT_EQ(after, 1);
  EXPECT_TRUE(clipboard_.Empty());  // the shell ran nothing
  ASSERT_EQ(menu_.size(), 2u + 9u);
  EXPECT_EQ(menu_[1].subMenu.size(), 2u);
  EXPECT_EQ(menu_[1].subMenu[1].command, deep.Command());
  EXPECT_EQ(popup_.HighestOwnCommand(), 5);
  EXPECT_EQ(menu_[2].command, 6);  // above the deepest and the hidden own item
  EXPECT_TRUE(menu_[2].isDefault);
  EXPECT_TRUE(Has(menu_, sj("名前の変更(&M)")));

  // Rename is the caller's: 19, and nothing changes on disk.
  popup_.SetInsertPos(1);
  Choose(sj("名前の変更"));
  EXPECT_EQ(popup_.Popup(&doc, {}), 19);
  EXPECT_EQ(menu_[1].command, 6);  // the shell's entries at position 1
  EXPECT_TRUE(Exists(Home() + "/alpha/doc.rut"));

  // The owner may keep the menu from showing.
  popup_.OnShBeforPopup = [](const TShellIDList&, DropPoint, bool& allow) { allow = false; };
  menu_.clear();
  EXPECT_EQ(popup_.Popup(&doc, {}), 0);
  EXPECT_TRUE(menu_.empty());
}

TEST_F(ShellPopup, ItsCommandsOpenCopyCutPasteDeleteAndCopyThePath) {
  TShellIDList2 doc, beta;
  Select(doc, Home() + "/alpha", "doc.rut");
  Select(beta, Home(), "beta");

  Choose(sj("開く"));
  EXPECT_EQ(popup_.Popup(&doc, {}), 1);
  EXPECT_EQ(started_, std::vector<std::string>{"xdg-open " + Home() + "/alpha/doc.rut"});

  // No paste while the clipboard names nothing; copy, then paste a copy.
  popup_.Popup(&beta, {});
  EXPECT_FALSE(Has(menu_, sj("貼り付け(&P)")));
  Choose(sj("コピー"));
  EXPECT_EQ(popup_.Popup(&doc, {}), 26);
  ASSERT_NE(clipboard_.Data(kCopiedFilesFormat), nullptr);
  EXPECT_EQ(*clipboard_.Data(kCopiedFilesFormat), "copy\nfile://" + Home() + "/alpha/doc.rut");
  Choose(sj("貼り付け"));
  EXPECT_EQ(popup_.Popup(&beta, {}), 17);
  EXPECT_TRUE(Exists(Home() + "/beta/doc.rut"));
  EXPECT_TRUE(Exists(Home() + "/alpha/doc.rut"));
  EXPECT_FALSE(clipboard_.Empty());

  // Cut and paste moves, and the clipboard lets go; pasting onto a name
  // that is taken replaces nothing.
  std::filesystem::remove(Home() + "/beta/doc.rut");
  MakeDir(Home() + "/alpha/inner/doc.rut");  // a folder of that name
  Choose(sj("切り取り"));
  EXPECT_EQ(popup_.Popup(&doc, {}), 25);
  TShellIDList2 inner;
  Select(inner, Home() + "/alpha", "inner");
  Choose(sj("貼り付け"));
  EXPECT_EQ(popup_.Popup(&inner, {}), 0);  // nothing could be done
  EXPECT_TRUE(Exists(Home() + "/alpha/doc.rut"));
  EXPECT_FALSE(clipboard_.Empty());
  EXPECT_EQ(popup_.Popup(&beta, {}), 17);
  EXPECT_TRUE(Exists(Home() + "/beta/doc.rut"));
  EXPECT_FALSE(Exists(Home() + "/alpha/doc.rut"));
  EXPECT_TRUE(clipboard_.Empty());

  Choose(sj("パスのコピー"));
  TShellIDList2 moved;
  Select(moved, Home() + "/beta", "doc.rut");
  popup_.Popup(&moved, {});
  ASSERT_NE(clipboard_.Data(kPlainTextFormat), nullptr);
  EXPECT_EQ(*clipboard_.Data(kPlainTextFormat), Home() + "/beta/doc.rut");

  // Delete goes to the Trash, whose own items cannot be deleted again.
  Choose(sj("削除"));
  EXPECT_EQ(popup_.Popup(&moved, {}), 18);
  EXPECT_FALSE(Exists(Home() + "/beta/doc.rut"));
  const std::string trashed = Home() + "/.local/share/Trash/files/doc.rut";
  ASSERT_TRUE(Exists(trashed));
  TShellIDList2 inTrash;
  Select(inTrash, Home() + "/.local/share/Trash/files", "doc.rut");
  EXPECT_EQ(popup_.Popup(&inTrash, {}), 0);
  EXPECT_FALSE(Has(menu_, sj("削除(&D)")));
  EXPECT_TRUE(Exists(trashed));
}

TEST_F(ShellPopup, TheTreeAndTheListFollowADeleteAndARename) {
  tree_ = std::make_unique<TShellFolderTree>(kShort);
  list_ = std::make_unique<TShellFileList>(TShellFileListTiming{{60}, 2000});
  tree_->BuildRoot();
  tree_->SetShellListView(list_.get());
  tree_->SetShellPopupMenu(&popup_);
  list_->SetShellPopupMenu(&popup_);
  EXPECT_FALSE(popup_.AutoPopup);

  // A right click on the desktop shows nothing.
  int shown = 0;
  choose_ = [&](const std::vector<ShellMenuItem>&) { return ++shown, 0; };
  tree_->RightButtonDown(tree_->Root());
  EXPECT_FALSE(tree_->ContextPopup({}));
  EXPECT_EQ(shown, 0);

  tree_->SetSelectedPath(Home() + "/alpha/inner");
  TShellFolderNode* inner = tree_->Selected();
  TShellFolderNode* alpha = inner->Parent();
  TShellFolderNode* edited = nullptr;
  tree_->OnEditNode = [&](TShellFolderNode* node) { edited = node; };
  tree_->RightButtonDown(inner);
  Choose(sj("名前の変更"));
  popup_.ReadOnly = false;
  EXPECT_TRUE(tree_->ContextPopup({}));
  EXPECT_EQ(edited, inner);
  EXPECT_EQ(tree_->DragState(), dsIdle);

  // Deleting the selected folder: the list shows its parent, with its
  // watchers on it, and the node goes.
  tree_->RightButtonDown(inner);
  Choose(sj("削除"));
  EXPECT_TRUE(tree_->ContextPopup({}));
  EXPECT_FALSE(Exists(Home() + "/alpha/inner"));
  EXPECT_EQ(tree_->Selected(), alpha);
  EXPECT_EQ(alpha->Count(), 0);
  EXPECT_EQ(list_->FolderPath(), Home() + "/alpha");
  EXPECT_EQ(list_->WatchedPath(), Home() + "/alpha");
  EXPECT_EQ(tree_->DropHiliteNode(), nullptr);

  // In the list, what is gone leaves it and what came meanwhile comes in.
  MakeFile(Home() + "/alpha/keep.rut");
  list_->RefreshItems();
  ASSERT_EQ(list_->Count(), 2);
  list_->SetSelected(0, 0, true);  // doc.rut
  list_->RightButtonDown(true, 0, 0);
  choose_ = [&](const std::vector<ShellMenuItem>& menu) {
    MakeFile(Home() + "/alpha/late.rut");  // while the menu is open (the watchers are paused)
    for (const ShellMenuItem& m : menu)
      if (m.text == sj("削除(&D)")) return m.command;
    return 0;
  };
  EXPECT_TRUE(list_->ContextPopup({}));
  EXPECT_FALSE(Exists(Home() + "/alpha/doc.rut"));
  ASSERT_EQ(list_->Count(), 2);
  EXPECT_EQ(list_->ItemAt(0)->DisplayName(), "keep.rut");
  EXPECT_EQ(list_->ItemAt(1)->DisplayName(), "late.rut");
  EXPECT_EQ(list_->DragState(), dsIdle);
  EXPECT_EQ(list_->WatchedPath(), Home() + "/alpha");

  int editedRow = -2;
  list_->OnEditRow = [&](int row) { editedRow = row; };
  list_->SelectAll(false);
  list_->SetSelected(0, 0, true);
  list_->SetFocused(0);
  list_->RightButtonDown(true, 0, 0);
  Choose(sj("名前の変更"));
  EXPECT_TRUE(list_->ContextPopup({}));
  EXPECT_EQ(editedRow, 0);
}

TEST_F(ShellPopup, TheMenuKeyShowsTheSelectedFoldersMenuOnlyWhereAPopupIsLinked) {
  TZuShellTreeView view(nullptr, kShort);
  InstallClipboard();
  view.SetSelectedPath(Home() + "/beta");
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(view.viewport(), &key);
  EXPECT_EQ(view.Tree().DragState(), dsIdle);  // nothing is left held
  view.SetSelectedPath(Home() + "/alpha");
  EXPECT_EQ(view.GetSelectedPath(), Home() + "/alpha");

  view.Tree().SetShellPopupMenu(&popup_);
  Choose(sj("パスのコピー"));
  QContextMenuEvent again(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(view.viewport(), &again);
  ASSERT_NE(clipboard_.Data(kPlainTextFormat), nullptr);
  EXPECT_EQ(*clipboard_.Data(kPlainTextFormat), Home() + "/alpha");
  EXPECT_EQ(view.Tree().DragState(), dsIdle);
  view.Tree().SetShellPopupMenu(nullptr);
}


TEST_F(ShellPopup, EveryEntryTellsItsHintAndOwnItemsShowTheirPictures) {
  TShellIDList2 doc;
  Select(doc, Home() + "/alpha", "doc.rut");
  TShellMenuItem& own = popup_.Add("Own");
  own.Hint = "Own|" + sj("自分の項目です");
  own.ImageIndex = kIconFolder;
  popup_.Add("Plain").Hint = sj("ポ");  // its second byte is '|': no long part
  popup_.Images = SystemImageList(false);
  popup_.SetInsertPos(99);
  EXPECT_EQ(popup_.InsertPos(), 2u);  // lowered to the number of own items
  EXPECT_EQ(popup_.Popup(&doc, {}), 0);
  ASSERT_GE(menu_.size(), 3u);
  EXPECT_EQ(menu_[0].hint, sj("自分の項目です"));
  EXPECT_EQ(menu_[0].imageIndex, kIconFolder);
  EXPECT_EQ(menu_[1].hint, sj("ポ"));
  EXPECT_EQ(menu_[1].imageIndex, -1);
  EXPECT_EQ(menu_[2].hint, sj("選択した項目を開きます。"));  // the shell's help text
  for (const ShellMenuItem& m : menu_) {
    if (!m.separator) {
      EXPECT_NE(m.hint, "") << m.text;
    }
  }

  // Qt's menu tells an entry's hint to the window of the control it is for
  // (its status bar) and to a screen reader, as the entry's description.
  QWidget owner;
  QStringList tips;
  class TipCatcher : public QObject {
   public:
    explicit TipCatcher(QStringList& tips) : tips_(tips) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::StatusTip) tips_ << static_cast<QStatusTipEvent*>(e)->tip();
      return false;
    }
    QStringList& tips_;
  } catcher(tips);
  owner.installEventFilter(&catcher);
  owner.setFocusPolicy(Qt::StrongFocus);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
  owner.setFocus();
  QString description;
  bool pictured = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    QAction* entry = menu->actions().value(0);
    menu->setActiveAction(entry);
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu))
      if (QAccessibleInterface* item = iface->child(0)) description = item->text(QAccessible::Description);
    pictured = !entry->icon().isNull();
    menu->close();
  });
  EXPECT_EQ(TrackShellMenu(menu_, {0, 0}), 0);
  EXPECT_EQ(description, QStringLiteral("自分の項目です"));
  EXPECT_TRUE(tips.contains(QStringLiteral("自分の項目です"))) << tips.join(QLatin1Char(',')).toStdString();
  EXPECT_TRUE(pictured);
}

}  // namespace
}  // namespace tavo::test
