#include "dictool/HelpPages.h"

#include <QApplication>
#include <QPointer>

#include "platform/files/Files.h"
#include "platform/system/ProgramExit.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"

namespace tavo {

std::string FindHelpPage(const std::string& page) {
  const std::string program = ProgramFolder();
  for (const std::string& folder : {program + "/../Help/TavoDic_html/html", program + "/" + TAVO_BIN_TO_HELP}) {
    const std::string path = ExpandFileName(folder + "/" + page);
    if (FileExists(path)) return path;
  }
  return std::string();
}

namespace {

void TellNoViewer(QWidget* owner, const std::string& path) {
  // The dialog that asked may have closed while the opener ran.
  QWidget* shown = owner != nullptr && owner->isVisible() ? owner : QApplication::activeWindow();
  ui::MessageBox(shown,
                 QStringLiteral("ヘルプを表示するプログラムが見つかりません。\n次のファイルをブラウザで開いてください。\n") +
                     FromCp932(path),
                 QStringLiteral("ヘルプ"), ui::MB_ICONINFORMATION);
}

}  // namespace

void OpenHelpPage(QWidget* owner, const std::string& page) {
  const std::string path = FindHelpPage(page);
  if (path.empty()) {
    ui::MessageBox(owner, QStringLiteral("ヘルプファイル %1 が見つかりません。").arg(FromCp932(page)),
                   QStringLiteral("ヘルプ"), ui::MB_ICONINFORMATION);
    return;
  }
  // The pages are HTML: where the desktop has no opener, a browser will do.
  // An opener that starts has the last word: it exits with a failure when
  // it finds nothing to show the page with (xdg-open tries the browsers
  // itself), and only then is the user told.
  QPointer<QWidget> asked(owner);
  for (const char* opener : {"xdg-open", "sensible-browser", "x-www-browser"})
    if (StartProgramThen(opener, {path}, qApp, [asked, path](int status) {
          if (status != 0) TellNoViewer(asked, path);
        }))
      return;
  TellNoViewer(owner, path);
}

}  // namespace tavo
