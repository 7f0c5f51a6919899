// What the dictionary search and the external search share: their engines
// and the boxes that tell their failures, the checks of the search word,
// the rows of a page, ending and cancelling the open search, emptying a
// grid, the search history and the search box's text.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

#include "dictool/Cp932Texts.h"
#include "dictool/DicSearchEngine.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/JCType.h"
#include "dictool/Main.h"
#include "dictool/Paging.h"
#include "dictool/SearchMessages.h"
#include "dictool/SearchProblems.h"
#include "dictool/TavoLibBinding.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {

void TMainForm::CreateSearches() {
  // Both searches convert through the library, one line at a time.
  const LineConverter convert = BoundLineConverter();
  dicMessages_ = std::make_unique<SearchMessageBoxes>(this, QStringLiteral("辞書ファイル "));
  gaibuProblems_ = std::make_unique<SearchProblems>();
  dicEngine_ = std::make_unique<DicSearchEngine>(session_, *dicMessages_, convert);
  gaibuEngine_ = std::make_unique<GaibuSearchEngine>(session_, *gaibuProblems_, convert);
}

QString TMainForm::SearchErrorCaption() { return QStringLiteral("検索エラー"); }

bool TMainForm::CheckSearchWord() {
  QString problem;
  if (cbSearchWord->currentText().isEmpty())
    problem = QStringLiteral("検索文字列を入力してください。");
  else if (SearchWordText().empty())
    // Dictionaries and documents are CP932 text: other characters cannot occur.
    problem = QStringLiteral("検索文字列に Shift-JIS で書けない文字が含まれています。");
  if (problem.isEmpty()) return true;
  ui::Beep();
  ui::MessageBox(this, problem, SearchErrorCaption(), ui::MB_ICONINFORMATION);
  cbSearchWord->setFocus();
  return false;
}

void TMainForm::FillRowsThatFit(ui::TStringGrid* grid, int pageTop) {
  // The rows that fit from the page's top row are added at once, and the
  // top row is set once: as many rows as a page holds, or as the view shows.
  const int n = RowsThatFit(grid->ClientHeight(), grid->DefaultRowHeight(), grid->GridLineWidth());
  const int shown = grid->ClientHeight() / std::max(grid->DefaultRowHeight(), 1);
  const int rows = pageTop + std::min(n, std::max(shown, 1));
  if (grid->RowCount() < rows) grid->SetRowCount(rows);
  grid->SetTopRow(pageTop);
}

std::string TMainForm::OpenResultGrid(ui::TStringGrid* grid, int& rowCount, int& pageTop) {
  ClearGrid(grid);
  rowCount = 0;
  grid->SetRowCount(1);
  grid->SetRow(0);
  grid->SetCol(0);
  pageTop = 0;
  // The box loses its focus now; the grid takes it (not the next enabled
  // button, which a second Enter during the fill would press).
  grid->setFocus();
  cbSearchWord->setEnabled(false);
  btnSearchCancel->setEnabled(true);
  const std::string word = SpaceToSquare(SearchWordText());
  SetSearchWordText(word);
  AddSearchHistory(word);
  return word;
}

bool TMainForm::FillResultPage(const ResultPage& p) {
  bool ended = false;
  ui::SetBusyCursor(true);
  try {
    p.status->setText(QStringLiteral("検索中"));
    FillRowsThatFit(p.grid, p.pageTop);
    if (FillPage(session_, p.source, p.rows, p.grid->VisibleRowCount(), ui::ProcessMessages) == FillEnd::Ended) {
      p.rows.AddRow(sj::SearchEndRow, nullptr);
      SearchEnd();
      ended = true;
    }
    if (session_.SearchOpen) ui::AnnounceStatus(p.status, QStringLiteral("Enterキーで続行"));
    else if (!session_.CancelRequest) ui::AnnounceStatus(p.status, QStringLiteral("検索終了"));
    p.continueButton->setEnabled(true);
    p.pageTop = p.grid->RowCount() - 1;  // a page's last row is the next page's top row
    p.grid->SetRow(p.grid->TopRow());
    if (session_.CancelRequest) SearchCancel();
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ui::SetBusyCursor(false);
  PageControl1->setCurrentIndex(p.page);
  p.grid->setFocus();
  AfterFill();
  return ended;
}

void TMainForm::SearchEnd() {
  const bool gaibu = session_.GaibuMode != 0;
  // The file and the header reader of the open document go with the search,
  // whatever ended it.
  session_.EndSearch();
  cbSearchWord->setEnabled(true);
  if (focusWidget() == btnSearchCancel) {
    // The focus goes on to the search's grid before the button goes, not to
    // the next button (which a screen reader would hear first).
    PageControl1->setCurrentIndex(gaibu ? 1 : 0);
    (gaibu ? Grid2 : Grid)->setFocus();
  }
  btnSearchCancel->setEnabled(false);
  btnSearch->setEnabled(true);
  btnGaibuSearch->setEnabled(true);
  GaibuIntent = false;
}

void TMainForm::SearchCancel() {
  Trace("SearchCancel");
  session_.Cancelled = true;
  session_.CancelRequest = false;
  const bool gaibu = session_.GaibuMode != 0;
  try {
    if (gaibu) {
      AddGrid2Line(std::string(sj::SearchCancelRow), std::string(), 0, 0);
      ui::AnnounceStatus(StatusPanel2, QStringLiteral("検索中止"));
      // Shown once the command that cancelled has returned (it may be a
      // fill, under the busy cursor).
      if (const QString problems = TakeGaibuProblems(QStringLiteral("検索中止")); !problems.isEmpty())
        QTimer::singleShot(0, this, [this, problems] {
          ui::MessageBox(this, problems, SearchErrorCaption(), ui::MB_ICONWARNING);
        });
    } else {
      AddGridLine(std::string(sj::SearchCancelRow));
      ui::AnnounceStatus(StatusPanel, QStringLiteral("検索中止"));
    }
  } catch (const std::exception&) {
    ui::MessageBox(this, QStringLiteral("バッファがいっぱいになりました。これ以上の検索はできません。"), QString(),
                   ui::MB_OK);
  }
  SearchEnd();
  PageControl1->setCurrentIndex(gaibu ? 1 : 0);
  (gaibu ? Grid2 : Grid)->setFocus();
}

void TMainForm::ClearGrid(ui::TStringGrid* grid) { grid->ClearCells(); }

void TMainForm::AddSearchHistory(const std::string& word) {
  LastSearchWord = word;
  if (std::find(SearchHistory.begin(), SearchHistory.end(), word) != SearchHistory.end()) return;
  SearchHistory.push_back(word);
  const QString text = cbSearchWord->currentText();
  cbSearchWord->addItem(FromCp932Exact(word));
  cbSearchWord->setEditText(text);  // adding an item must not change the box's text
}

std::string TMainForm::SearchWordText() const {
  return ToCp932(cbSearchWord->currentText()).value_or(std::string());
}

void TMainForm::SetSearchWordText(const std::string& cp932) { cbSearchWord->setEditText(FromCp932Exact(cp932)); }

void TMainForm::AfterFill() {
  if (closeAfterFill_) {
    closeAfterFill_ = false;
    // The command that filled the page is still on the stack: close once it
    // has returned.
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

}  // namespace tavo
