// The external search's commands: they bind the window-free search (the
// documents of GaibuFiles.h, GaibuSearchEngine, PageFill) to the
// search-folder dialog, the external result grid with its hit records, its
// status line and the message boxes. The work runs inside the command that
// asked for it; the fill pumps the window messages so that the cancel button
// and Esc stay live. What the search could not search is gathered
// (SearchProblems.h) and told in one box when the search ends, its count on
// the status line.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

#include "dictool/GaibuFiles.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/Main.h"
#include "dictool/SearchMessages.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {

class TMainForm::GaibuGridRows : public RowSink {
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
  if (GaibuFileList.empty()) {
    SearchProblems left;
    left.Begin(documents);
    QString text = QStringLiteral("RUTファイルがありません。");
    if (left.Count() > 0) text += QStringLiteral("\n\n") + SearchProblemsText(left);
    ui::MessageBox(this, text, SearchErrorCaption(), ui::MB_ICONWARNING);
    return;
  }
  gaibuProblems_->Begin(documents);
  PageControl1->setCurrentIndex(1);
  btnSearch->setEnabled(false);
  GaibuSearchStart();
  GaibuSearchNextPage();
}

void TMainForm::GaibuSearchStart() {
  // A document that is not there, the first too, is told when the search
  // ends and passed over, like one that cannot be read.
  ClearHitList();
  // The box's text is taken again: the dialog came in between.
  const std::string word = OpenResultGrid(Grid2, GaibuRowCount, GaibuPageTop);
  LastSearchWasDic = false;
  HighlightWord2 = word;
  GaibuGridRows rows(*this);
  gaibuEngine_->Start(GaibuFileList, word, rows);
  btnSearch->setEnabled(false);
}

void TMainForm::GaibuSearchNextPage() {
  Trace("GaibuSearchNextPage");
  if (session_.PageFilling) return;
  GaibuGridRows rows(*this);
  if (!FillResultPage({Grid2, StatusPanel2, 1, GaibuPageTop, btnGaibuSearch, *gaibuEngine_, rows})) return;
  // The end: nothing found and what could not be searched, in one box.
  const QString problems = TakeGaibuProblems(QStringLiteral("検索終了"));
  QString text = session_.HitFound ? QString() : QStringLiteral("見つかりませんでした。");
  if (!problems.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + problems;
  if (!text.isEmpty()) ui::MessageBox(this, text, SearchErrorCaption(), ui::MB_ICONWARNING);
}

QString TMainForm::TakeGaibuProblems(const QString& status) {
  const int count = gaibuProblems_->Count();
  if (count == 0) return QString();
  // Heard on the status line as well, by a screen reader that passes over
  // the box.
  ui::AnnounceStatus(StatusPanel2, status + QStringLiteral("（検索できなかったファイル %1 件）").arg(count));
  QString text = SearchProblemsText(*gaibuProblems_);
  gaibuProblems_->Begin(DocumentList{});
  return text;
}

std::vector<std::string> TMainForm::GaibuRows() const {
  std::vector<std::string> rows;
  for (int r = 0; r < GaibuRowCount; ++r) rows.push_back(Grid2->Cell(0, r));
  return rows;
}

std::vector<THitLine> TMainForm::Hits() const {
  std::vector<THitLine> hits;
  for (const auto& hit : HitList) hits.push_back(*hit);
  return hits;
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
