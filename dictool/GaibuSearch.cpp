// The external search over the RUTE documents of a folder: the command that
// asks for the folder, and the hit records of the external result grid.
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include "dictool/Main.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"

namespace tavo {

void TMainForm::GaibuSearch(const std::string& startFolder) {
  Trace("GaibuSearch");
  if (cbSearchWord->currentText().isEmpty()) {
    ui::Beep();
    ui::MessageBox(this, QStringLiteral("検索文字列を入力してください。"), QStringLiteral("検索エラー"),
                   ui::MB_ICONINFORMATION);
    cbSearchWord->setFocus();
    return;
  }
  if (folderDlg_ == nullptr) return;
  folderDlg_->SetsStartFolder(startFolder);
  if (ui::ShowModal(folderDlg_) != ui::mrOk) return;
  LastFolder = folderDlg_->sStartFolder();
  LastSearchWasDic = false;
}

void TMainForm::GaibuSearchNextPage() { Trace("GaibuSearchNextPage"); }

void TMainForm::ClearHitList() { HitList.clear(); }

void TMainForm::AddGrid2Line(const std::string& text, const std::string& path, int page, int line) {
  while (GaibuRowCount >= Grid2->RowCount()) Grid2->SetRowCount(Grid2->RowCount() + 1);
  try {
    Grid2->SetCell(0, GaibuRowCount, text);
    auto hit = std::make_unique<THitLine>();
    hit->ShortPath = path;  // the short path of a file is its path
    hit->Page = page;
    hit->Line = line;
    HitList.push_back(std::move(hit));
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ++GaibuRowCount;
}

}  // namespace tavo
