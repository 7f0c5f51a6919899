// The dictionary search's commands: they bind the window-free search
// (DicSearchEngine, PageFill) to the dictionary grid, its status line and
// the message boxes. The work runs inside the command that asked for it; the
// fill pumps the window messages so that the cancel button and Esc stay live.
#include <QPushButton>
#include <QTabWidget>

#include "dictool/DicSearchEngine.h"
#include "dictool/Main.h"
#include "dictool/PageFill.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StringGrid.h"

namespace tavo {

class TMainForm::DicGridRows : public RowSink {
 public:
  explicit DicGridRows(TMainForm& form) : form_(form) {}
  void AddRow(std::string_view text, const THitLine*) override { form_.AddGridLine(std::string(text)); }

 private:
  TMainForm& form_;
};

void TMainForm::DicSearch() {
  Trace("DicSearch");
  if (!CheckSearchWord()) return;
  const std::string text = SearchWordText();
  PageControl1->setCurrentIndex(0);
  if (LastSearchWasDic && text == LastSearchWord && session_.ReachedEnd && !session_.Cancelled && session_.HitFound)
    return;
  session_.ReachedEnd = false;
  if (SearchDicList.empty()) {
    ui::MessageBox(this, QStringLiteral("辞書ファイルが設定されていません。辞書ファイルを設定して下さい。"),
                   SearchErrorCaption(), ui::MB_ICONINFORMATION);
    SetDicList();
    return;
  }
  btnGaibuSearch->setEnabled(false);
  if (!DicSearchStart()) {
    // Nothing was opened: no page is filled on what an earlier search left.
    btnGaibuSearch->setEnabled(true);
    btnSearch->setEnabled(true);
    return;
  }
  DicSearchNextPage();
}

bool TMainForm::DicSearchStart() {
  if (!dicEngine_->FirstFileExists(SearchDicList)) return false;
  const std::string word = OpenResultGrid(Grid, DicRowCount, DicPageTop);
  LastSearchWasDic = true;
  HighlightWord = word;
  DicGridRows rows(*this);
  dicEngine_->Start(SearchDicList, word, rows);
  btnSearch->setEnabled(false);
  return true;
}

void TMainForm::DicSearchNextPage() {
  Trace("DicSearchNextPage");
  if (session_.PageFilling) return;
  DicGridRows rows(*this);
  if (!FillResultPage({Grid, StatusPanel, 0, DicPageTop, btnSearch, *dicEngine_, rows})) return;
  session_.ReachedEnd = true;
  // Only a word that every dictionary was read for is offered; the offer
  // comes once the page and the controls are in order, so that a failure
  // while registering cannot leave the fill half done.
  if (!session_.HitFound && dicEngine_->EveryFileRead() &&
      ui::MessageBox(this, QStringLiteral("見つかりませんでした。この語句を辞書に登録しますか？"),
                     SearchErrorCaption(), ui::MB_OKCANCEL | ui::MB_ICONQUESTION) == ui::IDOK)
    RegisterWord(SearchWordText());
}

std::vector<std::string> TMainForm::DicRows() const {
  std::vector<std::string> rows;
  for (int r = 0; r < DicRowCount; ++r) rows.push_back(Grid->Cell(0, r));
  return rows;
}

void TMainForm::AddGridLine(const std::string& text) {
  try {
    if (DicRowCount >= Grid->RowCount()) Grid->SetRowCount(DicRowCount + 1);
    Grid->SetCell(0, DicRowCount, text);
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ++DicRowCount;
}

}  // namespace tavo
