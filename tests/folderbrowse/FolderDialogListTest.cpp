// The file list in the search-folder dialog: it shows the tree's folder in
// report view, a screen reader reads its rows with their columns, a header
// click sorts, typing jumps, Enter opens a folder and the tree follows, and
// the view styles keep the selection.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <fcntl.h>
#include <unistd.h>

#include <QStyle>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/DlgFolderSelect.h"
#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "tests/folderbrowse/FolderDialogFixture.h"
#include "tests/support/WaitUntil.h"

namespace tavo::test {
namespace {

class FolderDialogList : public FolderDialogFixture {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeDir(Home() + "/docs/inner");
    MakeFile(Home() + "/docs/alpha.rut", std::string(3000, 'x'));
    MakeFile(Home() + "/docs/beta.rut", "x");
    MakeFile(Home() + "/docs/bravo.Rut", std::string(2000, 'x'));
    Open(Home() + "/docs");
  }
  QString Cell(int row, int column) const { return List().Model().index(row, column).data().toString(); }
};

TEST_F(FolderDialogList, TheReportViewShowsTheTreesFolderRowByRow) {
  ASSERT_EQ(List().ViewStyle(), vsReport);
  ASSERT_EQ(List().List().FolderPath(), Home() + "/docs");
  QTreeView* report = List().ReportView();
  EXPECT_TRUE(report->isVisible());
  ASSERT_EQ(List().Model().rowCount(), 4);
  ASSERT_EQ(List().Model().columnCount(), 5);
  EXPECT_EQ(report->header()->sectionSize(0), 180);
  EXPECT_EQ(report->header()->sectionSize(3), 120);
  EXPECT_EQ(List().Model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("サイズ"));
  EXPECT_EQ(Cell(0, 0), QStringLiteral("inner"));
  EXPECT_EQ(Cell(0, 2), QStringLiteral("ファイル フォルダ"));
  EXPECT_EQ(Cell(1, 0), QStringLiteral("alpha.rut"));
  EXPECT_EQ(Cell(1, 1), QStringLiteral("3KB"));
  EXPECT_EQ(Cell(1, 4), QStringLiteral("A"));

  // A screen reader gets a table: each row with its five cells.
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(report);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->text(QAccessible::Name), QStringLiteral("ファイル"));
  ASSERT_NE(table->tableInterface(), nullptr);
  EXPECT_EQ(table->tableInterface()->rowCount(), 4);
  EXPECT_EQ(table->tableInterface()->columnCount(), 5);
  QAccessibleInterface* size = table->tableInterface()->cellAt(1, 1);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->text(QAccessible::Name), QStringLiteral("3KB"));

  // A click on "サイズ" sorts by size, largest first; the selection stays.
  report->setFocus();
  report->selectionModel()->setCurrentIndex(List().Model().index(3, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QString selected = Cell(3, 0);
  const QRect sizeHeader(report->header()->sectionViewportPosition(1), 0, report->header()->sectionSize(1),
                         report->header()->height());
  QTest::mouseClick(report->header()->viewport(), Qt::LeftButton, {}, sizeHeader.center());
  EXPECT_EQ(Cell(0, 0), QStringLiteral("alpha.rut")) << "files by size, descending; the folder last";
  EXPECT_EQ(Cell(3, 0), QStringLiteral("inner"));
  const QModelIndexList rows = report->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(Cell(rows[0].row(), 0), selected);
  EXPECT_EQ(report->currentIndex().row(), rows[0].row());
}

TEST_F(FolderDialogFixture, ASizeOfGigabytesIsShownWhole) {
  MakeDir(Os("d"));
  MakeFile(Os("d/small.rut"), "x");
  const int fd = ::open(Os("d/huge.rut").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(5ULL << 30)), 0);  // sparse
  ::close(fd);
  Open(Cp("d"));
  QTreeView* report = List().ReportView();
  auto shownWhole = [&](int row) {
    const QString text = List().Model().index(row, 1).data().toString();
    const int margin = report->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, report) + 1;
    return report->header()->sectionSize(1) >= report->fontMetrics().horizontalAdvance(text) + 2 * margin;
  };
  ASSERT_EQ(List().Model().index(0, 0).data().toString(), QStringLiteral("huge.rut"));
  EXPECT_EQ(List().Model().index(0, 1).data().toString(), QStringLiteral("5,242,880KB"));
  EXPECT_TRUE(shownWhole(0)) << report->header()->sectionSize(1);
  dlg_->SetColumnWidth(1, 50);  // as the settings give it back
  EXPECT_TRUE(shownWhole(0)) << report->header()->sectionSize(1);
}

TEST_F(FolderDialogList, CustomDrawingRunsThroughTheStepsAndDrawsAttributeImages) {
  QTreeView* report = List().ReportView();
  auto images = std::make_unique<TImageList>();
  for (const QColor c : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue), QColor(Qt::yellow)}) {
    QPixmap pm(8, 8);
    pm.fill(c);
    images->Images.push_back(pm);
  }
  TAttributesImage given;
  given.ImageList = images.get();
  given.ReadOnly = 0;
  given.Hidden = 1;
  given.System = 2;
  given.Archive = 3;
  List().SetAttributesImage(&given);
  List().SetAttributesImage(nullptr);  // changes nothing
  EXPECT_EQ(List().AttributesImage().ImageList, images.get());
  EXPECT_EQ(List().AttributesImage().Archive, 3);

  std::map<int, bool> subItemDrawOnEntry;
  std::map<int, std::vector<int>> subItems;
  List().OnCustomDrawItem = [&](int item, TCustomDrawState, bool& defaultDraw, bool& subItemDraw) {
    EXPECT_TRUE(defaultDraw);
    subItemDrawOnEntry[item] = subItemDraw;
    if (Cell(item, 0) == QStringLiteral("beta.rut")) List().Canvas().BrushColor = Qt::magenta;
  };
  List().OnCustomDrawSubItem = [&](int item, int subItem, TCustomDrawState, bool& defaultDraw) {
    EXPECT_TRUE(defaultDraw);
    subItems[item].push_back(subItem);
  };
  report->selectionModel()->clearSelection();
  const QImage shot = report->viewport()->grab().toImage();
  // Folders have none of the four attributes: no sub-item steps for them.
  EXPECT_EQ(subItemDrawOnEntry, (std::map<int, bool>{{0, false}, {1, true}, {2, true}, {3, true}}));
  EXPECT_EQ(subItems.count(0), 0u);
  EXPECT_EQ(subItems[1], (std::vector<int>{1, 2, 3, 4}));
  // The archive image in alpha.rut's attribute column; beta.rut's row on the
  // step's background.
  const QRect attributes = report->visualRect(List().Model().index(1, 4));
  EXPECT_EQ(shot.pixelColor(attributes.left() + 3, attributes.top() + 5), QColor(Qt::yellow));
  const QRect type = report->visualRect(List().Model().index(2, 2));
  EXPECT_EQ(shot.pixelColor(type.right() - 2, type.center().y()), QColor(Qt::magenta));

  // The image list goes: letters again.
  images.reset();
  EXPECT_EQ(List().AttributesImage().ImageList, nullptr);
  EXPECT_EQ(Cell(1, 4), QStringLiteral("A"));
}

TEST_F(FolderDialogList, TypingJumpsAndEnterOpensAFolderInTheTree) {
  QTreeView* report = List().ReportView();
  report->setFocus();
  QTest::keyClicks(report, QStringLiteral("br"));
  EXPECT_EQ(Cell(report->currentIndex().row(), 0), QStringLiteral("bravo.Rut"));
  QTest::keyClicks(report, QStringLiteral("i"));  // "bri": nothing begins so; the row stays
  EXPECT_EQ(Cell(report->currentIndex().row(), 0), QStringLiteral("bravo.Rut"));

  // The styles share the selection; the list style starts from the top.
  dlg_->SpeedButton3->click();
  EXPECT_EQ(List().ViewStyle(), vsList);
  EXPECT_TRUE(List().IconView()->isVisible());
  EXPECT_EQ(Cell(List().IconView()->currentIndex().row(), 0), QStringLiteral("bravo.Rut"));
  dlg_->SpeedButton4->click();

  report->setFocus();
  report->selectionModel()->setCurrentIndex(List().Model().index(0, 0),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  QTest::keyClick(report, Qt::Key_Return);
  EXPECT_EQ(List().List().FolderPath(), Home() + "/docs/inner");
  EXPECT_EQ(dlg_->ZuShellTreeView1->GetSelectedPath(), Home() + "/docs/inner");
  EXPECT_EQ(dlg_->ComboBox1->currentText().toStdString(), Home() + "/docs/inner");

  // My Computer shows one column; the report widths stay for the settings.
  dlg_->SetColumnWidth(2, 140);
  PItemIDList computer = nullptr;
  ASSERT_TRUE(GetSpecialFolderPIDL(13, computer));
  dlg_->ZuShellTreeView1->SelectPIDL(computer);
  FreePIDL(computer);
  EXPECT_EQ(List().Model().columnCount(), 1);
  EXPECT_EQ(dlg_->ColumnWidth(2), 140);
  dlg_->SetsStartFolder(Home() + "/docs");
  EXPECT_EQ(List().Model().columnCount(), 5);
  EXPECT_EQ(List().ReportView()->header()->sectionSize(2), 140);

  // A double click on a document's size: OnShExecute hears that column and
  // the point of the click.
  std::vector<int> seen;
  List().List().OnShExecute = [&](TShellFileItem&, TShiftState, int subItem, int x, int y, bool& defaultAction) {
    seen = {subItem, x, y};
    defaultAction = false;
  };
  ASSERT_EQ(Cell(1, 0), QStringLiteral("alpha.rut"));
  const QPoint at = report->visualRect(List().Model().index(1, 1)).center();
  QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, at);  // a double click's first press
  QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(seen, (std::vector<int>{lcSize, at.x(), at.y()}));

  // A change of the desktop's theme or locale fills the folder once more.
  int fills = 0;
  List().List().OnShListChange = [&] { ++fills; };
  for (const QEvent::Type change : {QEvent::ThemeChange, QEvent::LocaleChange}) {
    QEvent e(change);
    QApplication::sendEvent(&List(), &e);
  }
  ASSERT_TRUE(WaitUntil("the folder filled again", [&] { return fills > 0; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(fills, 1);
  EXPECT_EQ(Cell(1, 0), QStringLiteral("alpha.rut"));
}

}  // namespace
}  // namespace tavo::test
