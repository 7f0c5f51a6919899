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

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/ZuShellTreeModel.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/ui/Application.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo::test {
namespace {

class DialogDrag : public ShellTest {};

TEST_F(DialogDrag, ARuteDocumentDraggedFromTheListOntoATreeFolderMovesThere) {
  MakeDir(Home() + "/target/inner");
  MakeFile(Home() + "/SAMPLE.RUT", std::string(512, ' ') + "text\r\n");
  TFolderDialog dlg;
  dlg.SetViewStyle(vsReport);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  TZuShellListView& list = *dlg.ZuShellListView1;
  TZuShellTreeView& tree = *dlg.ZuShellTreeView1;
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
  const QPoint from = view->viewport()->mapToGlobal(view->visualRect(list.Model().index(row, 0)).center());
  // The folder's name, not the middle of its row: the tree's column is as
  // wide as its longest name and may reach past the visible part.
  const QRect onScreen = tree.visualRect(tree.Model().IndexOf(target)) & tree.viewport()->rect();
  ASSERT_FALSE(onScreen.isEmpty());
  const QPoint to = tree.viewport()->mapToGlobal(QPoint(onScreen.left() + std::min(30, onScreen.width() / 2), onScreen.center().y()));
  // The mouse goes down on the document, moves in steps and lets go over
  // the folder, while this loop serves the drag.
  QString script = QStringLiteral("xdotool mousemove %1 %2 && sleep 0.3 && xdotool mousedown 1 && sleep 0.3")
                       .arg(from.x()).arg(from.y());
  for (int k = 1; k <= 12; ++k)
    script += QStringLiteral(" && xdotool mousemove %1 %2 && sleep 0.1")
                  .arg(from.x() + (to.x() - from.x()) * k / 12)
                  .arg(from.y() + (to.y() - from.y()) * k / 12);
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
  ASSERT_TRUE(WaitUntil("the document to leave the list", [&] {
    for (int i = 0; i < list.List().Count(); ++i)
      if (list.List().ItemAt(i)->DisplayName() == "SAMPLE.RUT") return false;
    return true;
  }));
  EXPECT_EQ(tree.Tree().DragState(), dsIdle);
  EXPECT_EQ(list.List().DragState(), dsIdle);
}

}  // namespace
}  // namespace tavo::test

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  tavo::ui::TApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
