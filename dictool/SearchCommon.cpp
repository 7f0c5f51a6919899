// What the dictionary search and the external search share: ending and
// cancelling the open search, emptying a grid, the search history and the
// search box's text.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

#include "dictool/Cp932Texts.h"
#include "dictool/Main.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {

void TMainForm::SearchEnd() {
  SearchOpen = false;
  cbSearchWord->setEnabled(true);
  btnSearchCancel->setEnabled(false);
  GaibuMode = 0;
  if (FileOpen) SearchFile.Close();  // a failing close changes nothing here
  FileOpen = false;
  // The header reader of the open document goes with the search, whatever
  // ended it.
  RutFile.reset();
  btnSearch->setEnabled(true);
  btnGaibuSearch->setEnabled(true);
  GaibuIntent = false;
}

void TMainForm::SearchCancel() {
  Trace("SearchCancel");
  Cancelled = true;
  CancelRequest = false;
  const bool gaibu = GaibuMode != 0;
  try {
    if (gaibu) {
      AddGrid2Line(std::string(sj::SearchCancelRow), std::string(), 0, 0);
      ui::AnnounceStatus(StatusPanel2, QStringLiteral("検索中止"));
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

void TMainForm::ClearGrid(ui::TStringGrid* grid) {
  for (int c = 0; c < grid->ColCount(); ++c)
    for (int r = 0; r < grid->RowCount(); ++r) grid->SetCell(c, r, std::string());
  grid->viewport()->update();
}

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
