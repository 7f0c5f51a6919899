// The program: binds the conversion library, creates the windows in their
// order, shows the main window and runs until it is closed.
#include <QFont>
#include <QMessageBox>

#include <cstdio>

#include "dictool/AboutBox.h"
#include "dictool/Diclist.h"
#include "dictool/Main.h"
#include "dictool/SetWord.h"
#include "dictool/SettingsFile.h"
#include "dictool/TavoLibBinding.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/files/Files.h"
#include "platform/ui/Application.h"
#include "platform/windows/WindowPublisher.h"

int main(int argc, char** argv) {
  tavo::ui::TApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tavodic"));
  // Faces named by the settings and the design that this desktop may lack.
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), {QStringLiteral("IPAGothic"), QStringLiteral("monospace")});
  QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"), {QStringLiteral("IPAPGothic"), QStringLiteral("sans-serif")});

  std::string error;
  if (!tavo::BindTavoLib(error)) {
    std::fprintf(stderr, "tavodic: %s\n", error.c_str());  // for a start from a terminal or a script
    QMessageBox::critical(nullptr, QStringLiteral("TavoDic"),
                          QStringLiteral("変換ライブラリを読み込めません。\n") + QString::fromLocal8Bit(error.c_str()));
    return 1;
  }

  // The editor finds the main window on the session bus, and F2 and F3 find
  // the editor's windows there.
  tavo::windows::PublishTopLevelWindows();
  auto* mainForm = new tavo::TMainForm;
  // Named after the program file, so that a copy installed under another
  // name keeps settings of its own.
  mainForm->SetSettingsFileName(tavo::SettingsFileNameFor(tavo::ProgramFileName()));
  mainForm->SetCommandLine(QCoreApplication::arguments().mid(1));
  auto* dicList = new tavo::TDicListDlg(mainForm);
  auto* setWord = new tavo::TSetWordDlg(mainForm);
  auto* about = new tavo::TdlgAboutBox(mainForm);
  auto* folder = new tavo::TFolderDialog(mainForm);
  mainForm->SetForms(dicList, setWord, about, folder);
  mainForm->show();
  const int rc = app.exec();
  delete mainForm;  // the dialogs are its children
  return rc;
}
