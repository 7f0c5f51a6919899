// A real drag on an X display: a RUTE document dragged with the mouse
// (xdotool, through the X server) from the search-folder dialog's file
// list onto a folder of its tree lands there on disk, and the list follows.
// Run on a virtual display of its own (on-virtual-display.sh); needs
// xdotool. With TAVO_DRAG_SCREENSHOT set, the screen is saved there while
// the drag hovers over the folder (import, from imagemagick).
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/ZuShellTreeModel.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/ui/Application.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {
namespace {

// The search-folder dialog on the screen with a RUTE document in the home
// and a folder "target" in the tree, and the screen points of both.
class DialogDrag : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/target/inner");
    MakeFile(Home() + "/SAMPLE.RUT", std::string(512, ' ') + "text\r\n");
    dlg_ = std::make_unique<TFolderDialog>();
    dlg_->SetViewStyle(vsReport);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
    TZuShellListView& list = *dlg_->ZuShellListView1;
    TZuShellTreeView& tree = *dlg_->ZuShellTreeView1;
    int row = -1;
    ASSERT_TRUE(WaitUntil("the document in the list", [&] {
      for (int i = 0; i < list.List().Count(); ++i)
        if (list.List().ItemAt(i)->DisplayName() == "SAMPLE.RUT") row = i;
      return row >= 0;
    }));
    TShellFolderNode* target = nullptr;
    for (int i = 0; i < tree.Tree().Root()->Count(); ++i)
      if (tree.Tree().Root()->Child(i)->Text == "target") target = tree.Tree().Root()->Child(i);
    ASSERT_NE(target, nullptr);
    QAbstractItemView* view = list.CurrentView();
    from_ = view->viewport()->mapToGlobal(view->visualRect(list.Model().index(row, 0)).center());
    // The folder's name, not the middle of its row: the tree's column is as
    // wide as its longest name and may reach past the visible part.
    const QRect onScreen = tree.visualRect(tree.Model().IndexOf(target)) & tree.viewport()->rect();
    ASSERT_FALSE(onScreen.isEmpty());
    to_ = tree.viewport()->mapToGlobal(
        QPoint(onScreen.left() + std::min(30, onScreen.width() / 2), onScreen.center().y()));
  }
  void TearDown() override {
    dlg_.reset();
    ShellTest::TearDown();
  }
  // The mouse goes down on the document with the left button and moves in
  // steps over the folder.
  QString PressAndMove() const {
    QString script = QStringLiteral("xdotool mousemove %1 %2 && sleep 0.3 && xdotool mousedown 1 && sleep 0.3")
                         .arg(from_.x()).arg(from_.y());
    for (int k = 1; k <= 12; ++k)
      script += QStringLiteral(" && xdotool mousemove %1 %2 && sleep 0.1")
                    .arg(from_.x() + (to_.x() - from_.x()) * k / 12)
                    .arg(from_.y() + (to_.y() - from_.y()) * k / 12);
    return script;
  }
  TShellFileList& List() { return dlg_->ZuShellListView1->List(); }
  TShellFolderTree& Tree() { return dlg_->ZuShellTreeView1->Tree(); }
  bool DocumentInList() {
    for (int i = 0; i < List().Count(); ++i)
      if (List().ItemAt(i)->DisplayName() == "SAMPLE.RUT") return true;
    return false;
  }

  std::unique_ptr<TFolderDialog> dlg_;
  QPoint from_, to_;
};

TEST_F(DialogDrag, ARuteDocumentDraggedFromTheListOntoATreeFolderMovesThere) {
  // The mouse lets go over the folder, while this loop serves the drag.
  QString script = PressAndMove();
  if (const char* shot = std::getenv("TAVO_DRAG_SCREENSHOT"))
    script += QStringLiteral(" && sleep 0.3 && import -window root %1").arg(QString::fromLocal8Bit(shot));
  script += QStringLiteral(" && sleep 0.3 && xdotool mouseup 1");
  QProcess mouse;
  mouse.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
  ASSERT_TRUE(mouse.waitForStarted());
  ASSERT_TRUE(WaitUntil("the document in the folder", [&] {
    return std::filesystem::exists(Home() + "/target/SAMPLE.RUT");
  }));
  EXPECT_FALSE(std::filesystem::exists(Home() + "/SAMPLE.RUT"));
  ASSERT_TRUE(WaitUntil("the mouse script's end", [&] { return mouse.state() == QProcess::NotRunning; }));
  EXPECT_EQ(mouse.exitCode(), 0);
  ASSERT_TRUE(WaitUntil("the document to leave the list", [&] { return !DocumentInList(); }));
  EXPECT_EQ(Tree().DragState(), dsIdle);
  EXPECT_EQ(List().DragState(), dsIdle);
}

TEST_F(DialogDrag, TheOtherButtonPressedTooEndsTheDragWithoutADrop) {
  bool began = false;
  List().OnShBeginDrag = [&](const TShellIDList&, DropPoint, int, int, bool&) { began = true; };
  // Over the folder the right button goes down too; the buttons go up over
  // the folder only once this test has seen the drag end (or after ten
  // seconds, when the script ends the drag with Escape and fails).
  const std::string seen = Root() + "/drag-seen";
  const QString script = PressAndMove() + QStringLiteral(
      " && xdotool mousedown 3 && late=0"
      " && for i in $(seq 200); do [ -e '%1' ] && break; sleep 0.05; done"
      " && { [ -e '%1' ] || { late=1; xdotool key Escape; }; }"
      " && xdotool mouseup 1 && sleep 0.1 && xdotool mouseup 3 && [ $late = 0 ]")
      .arg(QString::fromStdString(seen));
  QProcess mouse;
  mouse.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
  ASSERT_TRUE(mouse.waitForStarted());
  // The drag loop ends while the left button is still held.
  ASSERT_TRUE(WaitUntil("the drag to begin and end", [&] { return began && List().DragState() == dsIdle; }));
  MakeFile(seen);
  ASSERT_TRUE(WaitUntil("the mouse script's end", [&] { return mouse.state() == QProcess::NotRunning; }));
  EXPECT_EQ(mouse.exitCode(), 0);
  EXPECT_TRUE(std::filesystem::exists(Home() + "/SAMPLE.RUT"));
  EXPECT_FALSE(std::filesystem::exists(Home() + "/target/SAMPLE.RUT"));
  EXPECT_TRUE(DocumentInList());
  EXPECT_EQ(Tree().DragState(), dsIdle);
  EXPECT_EQ(Tree().DropHiliteNode(), nullptr);
}

}  // namespace
}  // namespace tavo::test

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  tavo::ui::TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
