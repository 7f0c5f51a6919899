// The external search's commands: they bind the window-free search (the
// documents of GaibuFiles.h, GaibuSearchEngine, PageFill) to the
// search-folder dialog, the external result grid with its hit records, its
// status line and the message boxes. The work runs inside the command that
// asked for it; the fill pumps the window messages so that the cancel button
// and Esc stay live.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

#include "dictool/GaibuFiles.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/Main.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

// The external grid as the search's row sink: every row with its record.
class GaibuGridRows : public RowSink {
 public:
  explicit GaibuGridRows(TMainForm& form) : form_(form) {}
  void AddRow(std::string_view text, const THitLine* record) override {
    const THitLine none;
    const THitLine& r = record != nullptr ? *record : none;
    form_.AddGrid2Line(std::string(text), r.ShortPath, r.Page, r.Line);
  }

 private:
  TMainForm& form_;
};

QString UnnamedText(int count) {
  return QStringLiteral("名前を Shift-JIS で書けない RUT ファイルが %1 個ありました。"
                        "表示もたぼーへの受け渡しもできないため、検索していません。")
      .arg(count);
}

}  // namespace

void TMainForm::GaibuSearch(const std::string& startFolder) {
  Trace("GaibuSearch");
  if (!CheckSearchWord() || folderDlg_ == nullptr) return;
  folderDlg_->SetsStartFolder(startFolder);
  if (ui::ShowModal(folderDlg_) != ui::mrOk) return;
  LastFolder = folderDlg_->sStartFolder();

  ui::SetBusyCursor(true);
  DocumentList documents = CollectDocuments(LastFolder, folderDlg_->CheckBox1->isChecked());
  ui::SetBusyCursor(false);
  GaibuFileList = std::move(documents.Files);
  gaibuUnnamed_ = documents.Unnamed;
  if (GaibuFileList.empty()) {
    QString text = QStringLiteral("RUTファイルがありません。");
    if (gaibuUnnamed_ > 0) text += QStringLiteral("\n") + UnnamedText(gaibuUnnamed_);
    ui::MessageBox(this, text, SearchErrorCaption(), ui::MB_ICONWARNING);
    return;
  }
  PageControl1->setCurrentIndex(1);
  btnSearch->setEnabled(false);
  if (!GaibuSearchStart()) {
    // Nothing was opened: no page is filled, and what an earlier search
    // left in the grid stays.
    btnSearch->setEnabled(true);
    return;
  }
  GaibuSearchNextPage();
}

bool TMainForm::GaibuSearchStart() {
  if (!gaibuEngine_->FirstFileExists(GaibuFileList)) return false;
  ClearHitList();
  // The box's text is taken again: the dialog came in between.
  const std::string word = OpenResultGrid(Grid2, GaibuRowCount, GaibuPageTop);
  LastSearchWasDic = false;
  HighlightWord2 = word;
  GaibuGridRows rows(*this);
  gaibuEngine_->Start(GaibuFileList, word, rows);
  btnSearch->setEnabled(false);
  return true;
}

void TMainForm::GaibuSearchNextPage() {
  Trace("GaibuSearchNextPage");
  if (Session.PageFilling) return;
  GaibuGridRows rows(*this);
  if (!FillResultPage({Grid2, StatusPanel2, 1, GaibuPageTop, btnGaibuSearch, *gaibuEngine_, rows})) return;
  if (!Session.HitFound)
    ui::MessageBox(this, QStringLiteral("見つかりませんでした。"), SearchErrorCaption(), ui::MB_ICONWARNING);
  if (gaibuUnnamed_ > 0) ui::MessageBox(this, UnnamedText(gaibuUnnamed_), SearchErrorCaption(), ui::MB_ICONINFORMATION);
}

NextHitResult TMainForm::GaibuSearchNextHit(std::string& row) {
  // One step of the search outside a page fill.
  GaibuGridRows rows(*this);
  HitRow hit;
  const NextHitResult r = gaibuEngine_->NextHit(PumpingPoll(), rows, hit);
  row = std::move(hit.Text);
  return r;
}

void TMainForm::ClearHitList() { HitList.clear(); }

void TMainForm::AddGrid2Line(const std::string& text, const std::string& path, int page, int line) {
  // Row i of Grid2 and item i of HitList belong together: a row that cannot
  // be added with its record is not added at all.
  try {
    HitList.push_back(std::make_unique<THitLine>(THitLine{path, page, line}));  // the short path of a file is its path
    try {
      if (GaibuRowCount >= Grid2->RowCount()) Grid2->SetRowCount(GaibuRowCount + 1);
      Grid2->SetCell(0, GaibuRowCount, text);
    } catch (...) {
      HitList.pop_back();
      throw;
    }
    ++GaibuRowCount;
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
}

}  // namespace tavo
