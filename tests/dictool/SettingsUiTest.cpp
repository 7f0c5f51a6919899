// What the main window tells about its settings file, and when it leaves the
// file alone.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QToolButton>

#include <sys/stat.h>

#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/files/Files.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"

namespace tavo::test {
namespace {

// A settings file that cannot be read (here a fifo, which is never waited
// on) is reported at start, and the empty lists of that run never take its
// place.
TEST_F(MainWindowTest, AnUnreadableSettingsFileIsToldAtStartAndNeverWrittenOver) {
  const std::string ini = dir + "/tavodic.ini";
  ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
  QString closeError, startWarning;
  ExpectMessage(ui::IDOK, &closeError);    // the running window cannot save into it
  ExpectMessage(ui::IDOK, &startWarning);  // the next one cannot read it
  Restart();
  EXPECT_NE(closeError.indexOf(QStringLiteral("に書き込めません")), -1) << closeError.toStdString();
  EXPECT_NE(closeError.indexOf(QStringLiteral("通常のファイルではありません")), -1) << closeError.toStdString();
  EXPECT_NE(startWarning.indexOf(QString::fromStdString(ini)), -1) << startWarning.toStdString();
  EXPECT_NE(startWarning.indexOf(QStringLiteral("通常のファイルではありません")), -1);

  form->close();  // nothing changed: no message, no write
  QCoreApplication::processEvents();
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
  struct stat st {};
  ASSERT_EQ(::stat(ini.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// The window and the search-folder dialog as a first run shows them, and as
// the user left them, after a restart.
TEST_F(MainWindowTest, TheWindowAndTheFolderDialogComeBackAsTheyWereLeft) {
  EXPECT_EQ(form->LastFolder, ProgramFolder());
  EXPECT_EQ(form->GetColorScheme(), 1);
  EXPECT_EQ(form->Grid->font().pointSize(), 16);
  EXPECT_FALSE(form->Grid->font().italic());
  EXPECT_EQ(folder->size(), QSize(729, 482));
  EXPECT_EQ(folder->pos(), QPoint(159, 123));
  EXPECT_EQ(folder->ColumnWidth(0), 180);
  EXPECT_EQ(folder->ColumnWidth(4), 38);
  EXPECT_EQ(folder->HistoryMax, 20);
  EXPECT_EQ(folder->ComboBox1->count(), 0);
  EXPECT_FALSE(folder->CheckBox1->isChecked());
  EXPECT_EQ(folder->TreeWidth(), 217);
  EXPECT_EQ(folder->ViewStyle(), vsReport);
  EXPECT_TRUE(folder->SpeedButton4->isChecked());
  EXPECT_EQ(folder->ZuShellTreeView1->font().pointSize(), 9);

  form->mnuColor3->trigger();
  form->N5Click();
  form->LastFolder = dir;
  form->resize(900, 600);
  folder->resize(640, 420);
  folder->move(30, 40);
  form->move(50, 60);
  folder->SetColumnWidth(1, 77);
  folder->SpeedButton3->click();
  folder->HistoryMax = 3;
  folder->SetHistory({"/tmp", dir});
  folder->CheckBox1->setChecked(true);
  folder->SetTreeWidth(260);
  QFont chosen(QStringLiteral("DejaVu Sans"), 13);
  chosen.setBold(true);
  ui::PushModalScript([&](ui::ModalCall& call) {
    call.fontDialog->Font = chosen;
    return ui::mrOk;
  });
  folder->N2->trigger();
  Restart();

  EXPECT_EQ(form->GetColorScheme(), 3);
  EXPECT_FALSE(form->HintVisible);
  EXPECT_FALSE(form->N5->isChecked());
  EXPECT_EQ(form->LastFolder, dir);
  EXPECT_EQ(form->size(), QSize(900, 600));
  EXPECT_EQ(folder->size(), QSize(640, 420));
  EXPECT_EQ(folder->pos(), QPoint(30, 40));
  EXPECT_EQ(form->pos(), QPoint(50, 60));
  EXPECT_EQ(folder->ColumnWidth(1), 77);
  EXPECT_EQ(folder->ViewStyle(), vsList);
  EXPECT_TRUE(folder->SpeedButton3->isChecked());
  EXPECT_FALSE(folder->SpeedButton4->isChecked());
  EXPECT_EQ(folder->HistoryMax, 3);
  EXPECT_EQ(folder->History(), (std::vector<std::string>{"/tmp", dir}));
  EXPECT_TRUE(folder->CheckBox1->isChecked());
  EXPECT_EQ(folder->TreeWidth(), 260);
  const QFont tree = folder->ZuShellTreeView1->font();
  EXPECT_EQ(tree.family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(tree.pointSize(), 13);
  EXPECT_TRUE(tree.bold());
  EXPECT_EQ(folder->ZuShellListView1->CurrentView()->font(), tree);
}

}  // namespace
}  // namespace tavo::test
