// What the main window tells about its settings file, and when it leaves the
// file alone.
#include <QCoreApplication>

#include <sys/stat.h>

#include "platform/ui/Modal.h"
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

}  // namespace
}  // namespace tavo::test
