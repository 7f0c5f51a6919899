// What the main window tells about its settings file, and when it leaves the
// file alone.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "folderbrowse/ZuShellListView.h"
#include "folderbrowse/ZuShellTreeView.h"
#include "platform/files/Files.h"
#include "platform/files/PrivateProfile.h"
#include "platform/text/Cp932.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"
#include "tests/dictool/UiFixture.h"
#include "tests/support/TestText.h"

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

  // The screen here is narrower than the window's design, which was fitted
  // to it; as designed, nothing has changed: no message, no write.
  form->resize(811, 521);
  form->close();
  QCoreApplication::processEvents();
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
  struct stat st {};
  ASSERT_EQ(::stat(ini.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// The window and the search-folder dialog as a first run shows them, and as
// the user left them, after a restart.
TEST_F(MainWindowTest, TheWindowAndTheFolderDialogComeBackAsTheyWereLeft) {
  EXPECT_EQ(form->GetLastFolder(), ProgramFolder());
  EXPECT_EQ(form->GetColorScheme(), 1);
  EXPECT_EQ(inside->Grid->font().pointSize(), 16);
  EXPECT_FALSE(inside->Grid->font().italic());
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

  inside->mnuColor3->trigger();
  form->N5Click();
  form->SetLastFolder(dir);
  form->resize(780, 560);
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
  EXPECT_FALSE(form->GetHintVisible());
  EXPECT_FALSE(inside->N5->isChecked());
  EXPECT_EQ(form->GetLastFolder(), dir);
  EXPECT_EQ(form->size(), QSize(780, 560));
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

// The run's settings survive one value the file cannot hold: the user is
// told which, once, and everything else is saved.
TEST_F(MainWindowTest, OneValueTheFileCannotHoldIsNamedAndEveryOtherSettingIsSaved) {
  const std::string blank = dir + "/old ", long3000 = "/" + std::string(2999, 'x');
  form->SetLastFolder(blank);  // a search of a folder whose name ends in a blank
  folder->SetHistory({blank, long3000});
  inside->mnuColor3->trigger();  // 白地に黒文字
  QString told;
  ExpectMessage(ui::IDOK, &told);
  Restart();
  EXPECT_NE(told.indexOf(QStringLiteral("最後に検索したフォルダ「%1」は、先頭か末尾に空白があるため、設定ファイルに保存できません")
                             .arg(QString::fromStdString(blank))),
            -1)
      << told.toStdString();
  EXPECT_NE(told.indexOf(QStringLiteral("検索フォルダの履歴「%1」は").arg(QString::fromStdString(blank))), -1);
  EXPECT_NE(told.indexOf(QStringLiteral("、3000 バイトあり、2047 バイトを超えるため、")), -1);
  EXPECT_TRUE(told.endsWith(QStringLiteral("ほかの設定は保存しました。")));
  EXPECT_LT(told.size(), 400) << "a long value is shortened";
  EXPECT_EQ(form->GetColorScheme(), 3);
  EXPECT_EQ(form->GetLastFolder(), ProgramFolder());
  EXPECT_EQ(folder->History(), std::vector<std::string>{});
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

// Bounds saved far off the screen (by another desktop, or by hand) open the
// windows on it, and are saved as they are now.
TEST_F(MainWindowTest, WindowsSavedFarOffTheScreenOpenOnItAndAreSavedThere) {
  Restart([&] {
    WriteFile("tavodic.ini", sj("[デスクトップ]\r\nTop=-30000\r\nLeft=40000\r\n"
                                "[外部ファイル選択]\r\n表示位置TOP=40000\r\n表示位置LEFT=-30000\r\n"));
  });
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(form->frameGeometry())) << form->x() << "," << form->y();
  EXPECT_TRUE(screen.contains(folder->frameGeometry())) << folder->x() << "," << folder->y();
  const QPoint main = form->pos(), dialog = folder->pos();
  Restart();
  const std::string ini = dir + "/tavodic.ini";
  EXPECT_EQ(GetPrivateProfileString(sj("デスクトップ"), "Left", "", ini), std::to_string(main.x()));
  EXPECT_EQ(GetPrivateProfileString(sj("デスクトップ"), "Top", "", ini), std::to_string(main.y()));
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択"), sj("表示位置LEFT"), "", ini), std::to_string(dialog.x()));
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択"), sj("表示位置TOP"), "", ini), std::to_string(dialog.y()));
}

// A settings file in UTF-8 is read and written back in CP932, with a word
// to the user; one that is no text is kept aside and the defaults are used.
TEST_F(MainWindowTest, AUtf8SettingsFileIsRewrittenAndOneThatIsNoTextIsKeptAsideBothTold) {
  const std::string cp932 = sj("[表示色]\r\nColor=3\r\n[外部ファイル選択]\r\n履歴数=1\r\n検索開始フォルダ履歴1=/home/点字\r\n");
  QString told;
  ExpectMessage(ui::IDOK, &told);
  Restart([&] { WriteFile("tavodic.ini", *Cp932ToUtf8(cp932)); });
  EXPECT_NE(told.indexOf(QStringLiteral("UTF-8 で書かれていました。読み込んで、Shift-JIS で書き直しました。")), -1)
      << told.toStdString();
  EXPECT_EQ(form->GetColorScheme(), 3);
  EXPECT_EQ(folder->History(), std::vector<std::string>{sj("/home/点字")});
  EXPECT_EQ(hex(SettingsText()), hex(cp932));

  const std::string junk("\x7F\x45\x4C\x46\x02\x01\x01\x00\xFF\xFE[表示色]", 20);
  ExpectMessage(ui::IDOK, &told);
  Restart([&] { WriteFile("tavodic.ini", junk); });
  const std::string aside = dir + "/tavodic.ini.bak";
  EXPECT_NE(told.indexOf(QStringLiteral("Shift-JIS のテキストでも UTF-8 のテキストでもないため、読み込めません。")), -1)
      << told.toStdString();
  EXPECT_NE(told.indexOf(QStringLiteral("そのままの内容で %1 に移し、既定の設定を使います。").arg(QString::fromStdString(aside))), -1);
  EXPECT_EQ(form->GetColorScheme(), 1);
  std::ifstream in(aside, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), junk);
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

// OK in a font dialog without changes keeps the face the settings name, also
// when this desktop lacks it and draws another in its place.
TEST_F(MainWindowTest, AnOkInTheFontDialogsWithoutChangesKeepsTheSavedFace) {
  Restart([&] {
    WriteFile("tavodic.ini", sj("[フォント]\r\nName=No Such Face\r\n[外部ファイル選択フォント]\r\nName=No Such Face Either\r\n"));
  });
  // A font dialog shows one face it has, and answers it on OK.
  auto unchangedOk = [](ui::ModalCall& call) {
    QFont shown = call.fontDialog->Font;
    shown.setFamilies({QFontInfo(call.fontDialog->Font).family()});
    call.fontDialog->Font = shown;
    return ui::mrOk;
  };
  ui::PushModalScript(unchangedOk);
  inside->mnuSetFont->trigger();
  ui::PushModalScript(unchangedOk);
  folder->N2->trigger();
  Restart();
  const std::string ini = dir + "/tavodic.ini";
  EXPECT_EQ(GetPrivateProfileString(sj("フォント"), "Name", "", ini), "No Such Face");
  EXPECT_EQ(GetPrivateProfileString(sj("外部ファイル選択フォント"), "Name", "", ini), "No Such Face Either");
  EXPECT_EQ(ui::UnscriptedModalCount(), 0);
}

}  // namespace
}  // namespace tavo::test
