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
  // The file and the header reader of the open document go with the search,
  // whatever ended it.
  Session.EndSearch();
  cbSearchWord->setEnabled(true);
  btnSearchCancel->setEnabled(false);
  btnSearch->setEnabled(true);
  btnGaibuSearch->setEnabled(true);
  GaibuIntent = false;
}

void TMainForm::SearchCancel() {
  Trace("SearchCancel");
  Session.Cancelled = true;
  Session.CancelRequest = false;
  const bool gaibu = Session.GaibuMode != 0;
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
