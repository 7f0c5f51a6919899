// Drag and drop of the folder tree and the file list on real folders,
// driven by scripted drags (enter, over, leave, drop) as the views pass
// them on: what is accepted, where it lands, what is refused, and how
// drags start; and the window of a long file operation. The desktop
// directory is the test's own home.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "folderbrowse/ZuShellDragQt.h"
#include "folderbrowse/ZuShellFileOpQt.h"
#include "folderbrowse/ZuShellFileList.h"
#include "folderbrowse/ZuShellFolderTree.h"
#include "folderbrowse/ZuShellTreeModel.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {
namespace {

constexpr TShDirWatcherTiming kShort{60, 40};
constexpr std::uint32_t kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

TShellFolderNode* Child(const TShellFolderNode* node, const std::string& text) {
  for (int i = 0; node != nullptr && i < node->Count(); ++i)
    if (node->Child(i)->Text == text) return node->Child(i);
  return nullptr;
}

class ShellDragDrop : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/alpha/inner");
    MakeDir(Home() + "/beta/child");
    MakeDir(Home() + "/src");
    MakeFile(Home() + "/src/doc.rut", "doc");
    undone_.clear();
    ShellQuestions q;
    q.ReportUndone = [this](FileOpKind, const std::vector<FileOpItem>& undone) {
      for (const FileOpItem& item : undone) undone_.push_back(item.outcome);
    };
    q.ChooseEffect = [this](std::uint32_t allowed, std::uint32_t proposed, DropPoint) {
      asked_.push_back({allowed, proposed});
      return DROPEFFECT_COPY;
    };
    SetShellQuestions(q);
  }
  void TearDown() override {
    view_.reset();
    list_.reset();
    tree_.reset();
    SetShellQuestions({});
    EXPECT_TRUE(AllThreadsEnded());
    ShellTest::TearDown();
  }
  TShellFolderTree& Tree() {
    tree_ = std::make_unique<TShellFolderTree>(kShort);
    tree_->BuildRoot();
    return *tree_;
  }
  // The data a drag of these paths (in one folder) carries.
  static ShellDataObject DataOf(const std::string& folder, const std::vector<std::string>& names) {
    Pidl parent(ListOf(folder));
    std::vector<std::unique_ptr<Pidl>> lists;
    std::vector<PCItemIDList> items;
    for (const std::string& n : names) {
      Pidl full(ListOf(folder + "/" + n));
      lists.push_back(std::make_unique<Pidl>(LastItemID(full)));
      items.push_back(lists.back()->get());
    }
    return MakeShellDataObject(parent, items);
  }

  std::unique_ptr<TShellFolderTree> tree_;
  std::unique_ptr<TShellFileList> list_;
  std::unique_ptr<TZuShellTreeView> view_;
  std::vector<FileOpOutcome> undone_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> asked_;
};

TEST_F(ShellDragDrop, ScriptedDragsOverTheTreeMoveCopyAndRefuse) {
  TShellFolderTree& tree = Tree();
  TShellFolderNode* alpha = Child(tree.Root(), "alpha");
  TShellFolderNode* beta = Child(tree.Root(), "beta");
  int overs = 0, enters = 0, leaves = 0;
  tree.OnShDragOver = [&](TShellDragObject&, TShellFolderNode*, TShiftState, int, int) { ++overs; };
  tree.DropSite().OnShDragEnter = [&](TShellDragObject&, TShiftState, DropPoint, bool&) { ++enters; };
  tree.DropSite().OnShDragLeave = [&] { ++leaves; };

  // Plain text is no shell object: no drag object, no event, no effect.
  ShellDataObject text;
  text.SetData(kPlainTextFormat, "hello");
  std::uint32_t effect = kCopyMove;
  EXPECT_EQ(tree.DragEnter(&text, MK_LBUTTON, {}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = kCopyMove;
  tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(tree.DragEnter(nullptr, MK_LBUTTON, {}, effect), E_INVALIDARG);
  EXPECT_EQ(enters, 0);

  const ShellDataObject doc = DataOf(Home() + "/src", {"doc.rut"});
  effect = kCopyMove;
  ASSERT_EQ(tree.DragEnter(&doc, MK_LBUTTON, {}, effect), S_OK);
  EXPECT_EQ(tree.DragState(), dsDragging);
  effect = kCopyMove;
  tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);  // the same volume: a move
  EXPECT_EQ(tree.DropHiliteNode(), alpha);
  effect = kCopyMove;
  tree.DragOver(alpha, {}, MK_LBUTTON | MK_CONTROL, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  effect = kCopyMove;
  tree.DragOver(nullptr, {}, MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(tree.DropHiliteNode(), nullptr);
  EXPECT_EQ(overs, 2);

  // A folder with children opens after the 31st hover that finds it
  // highlighted already; another node starts the count again.
  tree.Collapse(alpha);
  for (int i = 0; i < 31; ++i) {
    effect = kCopyMove;
    tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  }
  EXPECT_FALSE(alpha->Expanded);
  tree.DragOver(beta, {}, MK_LBUTTON, {}, effect);
  tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  EXPECT_EQ(tree.HoverCount(), 0);
  for (int i = 0; i < 31; ++i) tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  EXPECT_TRUE(alpha->Expanded);

  effect = kCopyMove;
  tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  EXPECT_EQ(tree.Drop(&doc, 0, {}, {}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_EQ(Read(Home() + "/alpha/doc.rut"), "doc");
  EXPECT_FALSE(Exists(Home() + "/src/doc.rut"));
  EXPECT_EQ(tree.DragState(), dsIdle);
  EXPECT_EQ(tree.DropHiliteNode(), nullptr);
  EXPECT_EQ(tree.DropSite().CurrentDragObject(), nullptr);
  EXPECT_EQ(tree.DropSite().HeldDropTargets().size(), 1u);
  EXPECT_EQ(leaves, 0);  // a drop is no leave

  // A folder dropped on a folder below itself: refused while hovering and
  // at the drop, and nothing moves.
  const ShellDataObject folder = DataOf(Home(), {"beta"});
  effect = kCopyMove;
  tree.DragEnter(&folder, MK_LBUTTON, {}, effect);
  ASSERT_TRUE(tree.Expand(beta));
  TShellFolderNode* child = Child(beta, "child");
  effect = kCopyMove;
  tree.DragOver(child, {}, MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = kCopyMove;
  tree.Drop(&folder, 0, {}, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(Exists(Home() + "/beta/child"));
  EXPECT_FALSE(Exists(Home() + "/beta/child/beta"));

  // A name that is taken is never overwritten: the drop reports it.
  MakeFile(Home() + "/src/doc.rut", "newer");
  effect = kCopyMove;
  tree.DragEnter(&doc, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  tree.DragOver(alpha, {}, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  tree.Drop(&doc, MK_CONTROL, {}, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(Read(Home() + "/alpha/doc.rut"), "doc");
  EXPECT_EQ(Read(Home() + "/src/doc.rut"), "newer");
  EXPECT_EQ(undone_, std::vector<FileOpOutcome>{FileOpOutcome::NameTaken});

  // After a right-button drag the target asks which, with a move proposed.
  effect = kCopyMove;
  tree.DragEnter(&doc, MK_RBUTTON, {}, effect);
  tree.DragOver(beta, {}, MK_RBUTTON, {}, effect);
  effect = kCopyMove;
  tree.Drop(&doc, 0, {}, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(asked_, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{kCopyMove, DROPEFFECT_MOVE}}));
  EXPECT_EQ(Read(Home() + "/beta/doc.rut"), "newer");
  EXPECT_TRUE(Exists(Home() + "/src/doc.rut"));

  // The owner may veto a drop, or the whole drag.
  tree.OnShDragDrop = [](TShellDragObject&, TShellFolderNode*, TShiftState, int, int, bool& go) { go = false; };
  effect = kCopyMove;
  tree.DragEnter(&doc, MK_LBUTTON, {}, effect);
  tree.DragOver(alpha->Child(0), {}, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  tree.Drop(&doc, 0, {}, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(Exists(Home() + "/src/doc.rut"));
  tree.DropSite().OnShDragEnter = [](TShellDragObject&, TShiftState, DropPoint, bool& accept) { accept = false; };
  effect = kCopyMove;
  tree.DragEnter(&doc, MK_LBUTTON, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(tree.DragState(), dsIdle);
  effect = kCopyMove;
  EXPECT_EQ(tree.Drop(&doc, 0, {}, {}, effect), E_INVALIDARG);

  // Leaving forgets the drag; a folder that came while the drag was over
  // the tree shows once it has left.
  tree.DropSite().OnShDragEnter = nullptr;
  tree.DragEnter(&doc, MK_LBUTTON, {}, effect);
  tree.DragOver(beta, {}, MK_LBUTTON, {}, effect);
  MakeDir(Home() + "/gamma");
  tree.DirChanged();
  EXPECT_EQ(Child(tree.Root(), "gamma"), nullptr);
  tree.DragLeave();
  EXPECT_NE(Child(tree.Root(), "gamma"), nullptr);
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(tree.DropHiliteNode(), nullptr);
  EXPECT_EQ(tree.DragState(), dsIdle);
}

// A shell target that answers as told and records what it was asked.
class RecordingTarget : public ShellDropTarget {
 public:
  HRESULT enterResult = S_OK, overResult = S_OK;
  std::vector<std::string> calls;
  std::vector<std::uint32_t> keys;
  HRESULT DragEnter(const ShellDataObject&, std::uint32_t k, DropPoint, std::uint32_t&) override {
    return Record("enter", k, enterResult);
  }
  HRESULT DragOver(std::uint32_t k, DropPoint, std::uint32_t&) override { return Record("over", k, overResult); }
  HRESULT DragLeave() override { return Record("leave", 0, S_OK); }
  HRESULT Drop(const ShellDataObject&, std::uint32_t k, DropPoint, std::uint32_t& effect) override {
    effect = DROPEFFECT_COPY;
    return Record("drop", k, S_OK);
  }

 private:
  HRESULT Record(const char* call, std::uint32_t k, HRESULT r) {
    calls.push_back(call);
    keys.push_back(k);
    return r;
  }
};

TEST(ShellDropSite, ADropGoesOnlyToATargetThatTookTheEnterAndTheOver) {
  ShellDataObject data;
  data.SetData(kUriListFormat, "file:///tmp/x\r\n");
  TShellDropSite site;
  std::uint32_t effect = kCopyMove;
  bool accepted = false;
  ASSERT_EQ(site.Enter(&data, MK_RBUTTON, {}, effect, accepted), S_OK);
  ASSERT_TRUE(accepted);

  auto failing = std::make_shared<RecordingTarget>();
  failing->overResult = E_FAIL;
  effect = kCopyMove;
  EXPECT_EQ(site.Forward(failing, data, MK_SHIFT, {}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(failing->calls, (std::vector<std::string>{"enter", "over", "leave"}));
  EXPECT_TRUE(site.HeldDropTargets().empty());

  // The button of a right-button drag is given back for enter and over;
  // the drop gets the key state as received.
  auto taking = std::make_shared<RecordingTarget>();
  effect = kCopyMove;
  site.Forward(taking, data, MK_SHIFT, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(taking->calls, (std::vector<std::string>{"enter", "over", "drop"}));
  EXPECT_EQ(taking->keys, (std::vector<std::uint32_t>{MK_SHIFT | MK_RBUTTON, MK_SHIFT | MK_RBUTTON, MK_SHIFT}));
  ASSERT_EQ(site.HeldDropTargets().size(), 1u);
  site.ReleaseIdleDropTargets();
  EXPECT_EQ(site.HeldDropTargets().size(), 1u);  // still held here
  taking.reset();
  site.ReleaseIdleDropTargets();
  EXPECT_TRUE(site.HeldDropTargets().empty());

  EXPECT_THROW(TShellDragObject(nullptr), std::invalid_argument);
  EXPECT_EQ(QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(QueryContinueDrag(false, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(QueryContinueDrag(false, MK_RBUTTON), S_OK);
}

TEST_F(ShellDragDrop, ScriptedDragsOverTheListMarkFolderRowsAndFallBackToTheFolder) {
  MakeDir(Home() + "/f/dir");
  MakeFile(Home() + "/f/a.rut", "a");
  list_ = std::make_unique<TShellFileList>(TShellFileListTiming{{60}, 2000});
  Pidl folderList(ListOf(Home() + "/f"));
  list_->BrowseTo(folderList);
  ASSERT_EQ(list_->Count(), 2);
  ASSERT_EQ(list_->ItemAt(0)->DisplayName(), "dir");
  TShellFileList& list = *list_;

  const ShellDataObject doc = DataOf(Home() + "/src", {"doc.rut"});
  std::uint32_t effect = kCopyMove;
  list.DragEnter(&doc, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  list.DragOver(0, MK_LBUTTON, {}, effect);
  EXPECT_EQ(list.DropHighlightIndex(), 0);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  effect = kCopyMove;
  list.DragOver(1, MK_LBUTTON, {}, effect);  // a file: the folder shown takes it
  EXPECT_EQ(list.DropHighlightIndex(), -1);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  list.DragOver(0, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  list.DragOver(7, MK_LBUTTON, {}, effect);  // a row without an item is no target
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(list.DropHighlightIndex(), -1);

  effect = kCopyMove;
  list.DragOver(0, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  list.Drop(&doc, 0, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_MOVE);
  EXPECT_EQ(Read(Home() + "/f/dir/doc.rut"), "doc");
  EXPECT_EQ(list.DropHighlightIndex(), -1);

  // Over empty space the folder shown takes a copy.
  const ShellDataObject moved = DataOf(Home() + "/f/dir", {"doc.rut"});
  effect = kCopyMove;
  list.DragEnter(&moved, MK_LBUTTON, {}, effect);
  effect = kCopyMove;
  list.DragOver(-1, MK_LBUTTON | MK_CONTROL, {}, effect);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  effect = kCopyMove;
  list.Drop(&moved, MK_CONTROL, {}, effect);
  EXPECT_EQ(Read(Home() + "/f/doc.rut"), "doc");
  EXPECT_TRUE(Exists(Home() + "/f/dir/doc.rut"));

  // A drop on a file already there is no drop at all.
  const ShellDataObject here = DataOf(Home() + "/f", {"a.rut"});
  effect = kCopyMove;
  list.DragEnter(&here, MK_LBUTTON, {}, effect);
  list.DragLeave();
  effect = kCopyMove;
  EXPECT_EQ(list.Drop(&here, 0, {}, effect), E_INVALIDARG);
}

TEST_F(ShellDragDrop, APressBecomesADragPastFivePixelsWhileItsButtonIsDown) {
  TShellFolderTree& tree = Tree();
  TShellFolderNode* alpha = Child(tree.Root(), "alpha");
  tree.LeftButtonDown(alpha, true, 10, 10);
  EXPECT_FALSE(tree.BeginDrag(15, 15, true, false));
  EXPECT_FALSE(tree.BeginDrag(16, 10, false, false));  // the button is up
  EXPECT_FALSE(tree.BeginDrag(16, 10, false, true));   // another button
  bool asked = false;
  tree.OnShBeginDrag = [&](TShellFolderNode* node, DropPoint start, int x, int, bool&) {
    asked = node == alpha && start.x == 10 && x == 10;
  };
  auto start = tree.BeginDrag(10, 16, true, false);
  ASSERT_TRUE(start);
  EXPECT_TRUE(asked);
  EXPECT_EQ(tree.DragState(), dsDragging);
  EXPECT_EQ(start->AllowedEffects & kCopyMove, kCopyMove);
  EXPECT_EQ(DataObjectOsPaths(start->Data), std::vector<std::string>{Home() + "/alpha"});
  tree.EndDrag();
  EXPECT_EQ(tree.DragState(), dsIdle);
  EXPECT_NE(tree.Selected(), alpha);  // a drag leaves the selection where it was

  MakeFile(Home() + "/src/b.rut");
  list_ = std::make_unique<TShellFileList>(TShellFileListTiming{{60}, 2000});
  Pidl src(ListOf(Home() + "/src"));
  list_->BrowseTo(src);
  ASSERT_EQ(list_->Count(), 2);
  list_->RightButtonDown(true, 0, 0);
  EXPECT_FALSE(list_->BeginDrag(0, 9, false, true));  // nothing selected
  list_->SelectAll(true);
  auto listStart = list_->BeginDrag(0, 9, false, true);
  ASSERT_TRUE(listStart);
  EXPECT_EQ(DataObjectOsPaths(listStart->Data),
            (std::vector<std::string>{Home() + "/src/b.rut", Home() + "/src/doc.rut"}));
  list_->EndDrag();
  EXPECT_EQ(list_->DragState(), dsIdle);
}

TEST_F(ShellDragDrop, TheTreeViewPassesQtDropsOn) {
  view_ = std::make_unique<TZuShellTreeView>(nullptr, kShort);
  view_->resize(300, 400);
  view_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
  TShellFolderNode* alpha = Child(view_->Tree().Root(), "alpha");
  const QPoint at = view_->visualRect(view_->Model().IndexOf(alpha)).center();
  QMimeData* mime = MimeDataOf(DataOf(Home() + "/src", {"doc.rut"}));
  QWidget* port = view_->viewport();
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(port, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDragMoveEvent over(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(port, &over);
  EXPECT_TRUE(over.isAccepted());
  EXPECT_EQ(over.dropAction(), Qt::MoveAction);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, mime, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(port, &drop);
  EXPECT_EQ(drop.dropAction(), Qt::MoveAction);
  EXPECT_EQ(Read(Home() + "/alpha/doc.rut"), "doc");
  delete mime;
}

TEST(FileOperationWindow, LongWorkRunsOffTheWindowsThreadShowsItsProgressAndStopsOnCancel) {
  // The window shows while the work runs, this thread serves its events
  // meanwhile (the timer here), and the cancel stops the work.
  ui::SetModalScripting(false);
  FileOpProgress progress;
  QString counts, item, action;
  QElapsedTimer waited;
  waited.start();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* form = qobject_cast<TFileOperationForm*>(QApplication::activeModalWidget());
    if (form == nullptr) {
      if (waited.elapsed() > kWaitDeadline.count()) progress.Cancel();  // never shown: give up
      return;
    }
    poll.stop();
    counts = form->Counts->text();
    item = form->Item->text();
    form->CancelButton->click();
    action = form->Action->text();
  });
  poll.start(20);
  std::thread::id worker;
  RunFileOperationWithProgress(FileOpKind::Move, progress, [&] {
    worker = std::this_thread::get_id();
    progress.AddTotals(3, 3 << 20);
    progress.SetCurrentName("/x/a.rut");
    progress.AddDone(1, 1 << 20);
    while (!progress.Cancelled()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  ui::SetModalScripting(true);
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_TRUE(counts.startsWith(QStringLiteral("1 / 3 個のファイル"))) << counts.toStdString();
  EXPECT_EQ(item, QStringLiteral("/x/a.rut"));
  EXPECT_EQ(action, QStringLiteral("取り消しています..."));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace tavo::test
