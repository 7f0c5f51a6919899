// The dictionary search's commands: they bind the window-free search
// (DicSearchEngine, PageFill) to the dictionary grid, its status line and
// the message boxes. The work runs inside the command that asked for it; the
// fill pumps the window messages so that the cancel button and Esc stay live.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include <algorithm>
#include <cerrno>

#include "dictool/Cp932Texts.h"
#include "dictool/DicSearchEngine.h"
#include "dictool/JCType.h"
#include "dictool/Main.h"
#include "dictool/PageFill.h"
#include "dictool/Paging.h"
#include "dictool/TavoLibBinding.h"
#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

const QString kSearchError = QStringLiteral("検索エラー");

QString ReadErrorText(int error) {
  switch (error) {
    case EISDIR: return QStringLiteral("フォルダーです。");
    case EINVAL: return QStringLiteral("通常のファイルではありません。");
    case EACCES:
    case EPERM: return QStringLiteral("読み取りが許可されていません。");
    case EIO: return QStringLiteral("入出力エラーが起きました。");
    default: return QString::fromStdString(SysErrorMessage(error));
  }
}

// The searches' failures, told in message boxes over the main window.
class SearchMessages : public SearchListener {
 public:
  explicit SearchMessages(QWidget* owner) : owner_(owner) {}
  void FileMissing(const std::string& path) override {
    // A half-width blank after ファイル, a full-width one before が.
    ui::MessageBox(owner_, QStringLiteral("辞書ファイル ") + FromCp932(path) + QStringLiteral("　が見つかりません。"),
                   kSearchError, ui::MB_ICONINFORMATION);
  }
  void FileUnreadable(const std::string& path, int error, const std::string& detail) override {
    ui::MessageBox(owner_,
                   QStringLiteral("辞書ファイル ") + FromCp932(path) + QStringLiteral("　を読み込めません。\n") +
                       (error != 0 ? ReadErrorText(error) : FromCp932(detail)),
                   kSearchError, ui::MB_ICONWARNING);
  }

 private:
  QWidget* owner_;
};

// The dictionary grid as the searches' row sink.
class DicGridRows : public RowSink {
 public:
  explicit DicGridRows(TMainForm& form) : form_(form) {}
  void AddRow(std::string_view text, const THitLine*) override { form_.AddGridLine(std::string(text)); }

 private:
  TMainForm& form_;
};

void PumpMessages() { ui::ProcessMessages(); }

}  // namespace

void TMainForm::CreateSearches() {
  searchMessages_ = std::make_unique<SearchMessages>(this);
  dicEngine_ = std::make_unique<DicSearchEngine>(
      Session, *searchMessages_, [](std::string_view line) { return CnvNABCCtoKANA(std::string(line), kCnvOption); });
}

void TMainForm::DicSearch() {
  Trace("DicSearch");
  const std::string text = SearchWordText();
  if (cbSearchWord->currentText().isEmpty()) {
    ui::Beep();
    ui::MessageBox(this, QStringLiteral("検索文字列を入力してください。"), kSearchError, ui::MB_ICONINFORMATION);
    cbSearchWord->setFocus();
    return;
  }
  if (text.empty()) {
    // Dictionaries are CP932 text: a word with other characters cannot occur.
    ui::Beep();
    ui::MessageBox(this, QStringLiteral("検索文字列に Shift-JIS で書けない文字が含まれています。"), kSearchError,
                   ui::MB_ICONINFORMATION);
    cbSearchWord->setFocus();
    return;
  }
  PageControl1->setCurrentIndex(0);
  if (LastSearchWasDic && text == LastSearchWord && Session.ReachedEnd && !Session.Cancelled && Session.HitFound)
    return;
  Session.ReachedEnd = false;
  if (SearchDicList.empty()) {
    ui::MessageBox(this, QStringLiteral("辞書ファイルが設定されていません。辞書ファイルを設定して下さい。"),
                   kSearchError, ui::MB_ICONINFORMATION);
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
  ClearGrid(Grid);
  DicRowCount = 0;
  Grid->SetRowCount(1);
  Grid->SetRow(0);
  Grid->SetCol(0);
  DicPageTop = 0;
  // The box loses its focus now; the grid takes it (not the next enabled
  // button, which a second Enter during the fill would press).
  Grid->setFocus();
  cbSearchWord->setEnabled(false);
  btnSearchCancel->setEnabled(true);

  const std::string word = SpaceToSquare(SearchWordText());
  SetSearchWordText(word);
  AddSearchHistory(word);
  LastSearchWasDic = true;
  HighlightWord = word;
  DicGridRows rows(*this);
  dicEngine_->Start(SearchDicList, word, rows);
  btnSearch->setEnabled(false);
  return true;
}

int TMainForm::FillRowsThatFit(ui::TStringGrid* grid, int pageTop) {
  // The rows that fit from the page's top row are added at once, and the
  // top row is set once: as many rows as a page holds, or as the view shows.
  const int n = RowsThatFit(grid->ClientHeight(), grid->DefaultRowHeight(), grid->GridLineWidth());
  const int shown = grid->ClientHeight() / std::max(grid->DefaultRowHeight(), 1);
  const int rows = pageTop + std::min(n, std::max(shown, 1));
  if (grid->RowCount() < rows) grid->SetRowCount(rows);
  grid->SetTopRow(pageTop);
  return n;
}

void TMainForm::DicSearchNextPage() {
  Trace("DicSearchNextPage");
  if (Session.PageFilling) return;
  bool offerRegistration = false;
  ui::SetBusyCursor(true);
  try {
    StatusPanel->setText(QStringLiteral("検索中"));
    FillRowsThatFit(Grid, DicPageTop);
    DicGridRows rows(*this);
    if (FillPage(Session, *dicEngine_, rows, Grid->VisibleRowCount(), PumpMessages) == FillEnd::Ended) {
      AddGridLine(std::string(sj::SearchEndRow));
      Session.ReachedEnd = true;
      SearchEnd();
      // Only a word that every dictionary was read for is offered.
      offerRegistration = !Session.HitFound && dicEngine_->EveryFileRead();
    }
    if (Session.SearchOpen) ui::AnnounceStatus(StatusPanel, QStringLiteral("Enterキーで続行"));
    else if (!Session.CancelRequest) ui::AnnounceStatus(StatusPanel, QStringLiteral("検索終了"));
    btnSearch->setEnabled(true);
    DicPageTop = Grid->RowCount() - 1;  // a page's last row is the next page's top row
    Grid->SetRow(Grid->TopRow());
    if (Session.CancelRequest) SearchCancel();
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ui::SetBusyCursor(false);
  PageControl1->setCurrentIndex(0);
  Grid->setFocus();
  AfterFill();
  // The offer comes once the page and the controls are in order, so that a
  // failure while registering cannot leave the fill half done.
  if (offerRegistration &&
      ui::MessageBox(this, QStringLiteral("見つかりませんでした。この語句を辞書に登録しますか？"), kSearchError,
                     ui::MB_OKCANCEL | ui::MB_ICONQUESTION) == ui::IDOK)
    RegisterWord(SearchWordText());
}

NextHitResult TMainForm::DicSearchNextHit(int& dicIndex, std::string& row) {
  // One step of the search outside a page fill.
  Session.FileIndex = dicIndex;
  DicGridRows rows(*this);
  HitRow hit;
  const NextHitResult r = dicEngine_->NextHit(
      [this] {
        PumpMessages();
        return Session.CancelRequest;
      },
      rows, hit);
  dicIndex = Session.FileIndex;
  row = std::move(hit.Text);
  return r;
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
