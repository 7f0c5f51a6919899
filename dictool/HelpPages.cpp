#include "dictool/HelpPages.h"

#include "platform/files/Files.h"
#include "platform/system/Process.h"
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

void OpenHelpPage(QWidget* owner, const std::string& page) {
  const std::string path = FindHelpPage(page);
  if (path.empty()) {
    ui::MessageBox(owner, QStringLiteral("ヘルプファイル %1 が見つかりません。").arg(FromCp932(page)),
                   QStringLiteral("ヘルプ"), ui::MB_ICONINFORMATION);
    return;
  }
  // The pages are HTML: where the desktop has no opener, a browser will do.
  for (const char* opener : {"xdg-open", "sensible-browser", "x-www-browser"})
    if (StartProgram(opener, {path})) return;
  ui::MessageBox(owner,
                 QStringLiteral("ヘルプを表示するプログラムが見つかりません。\n次のファイルをブラウザで開いてください。\n") +
                     FromCp932(path),
                 QStringLiteral("ヘルプ"), ui::MB_ICONINFORMATION);
}

}  // namespace tavo
