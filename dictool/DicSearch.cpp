// The dictionary search: the searched dictionaries are read one after the
// other, line by line, and the lines that match fill the dictionary grid one
// screenful per command. The work runs inside the command that asked for it;
// the reading loop pumps the window messages so that the cancel button and
// Esc stay live, and PageFilling keeps a second fill from starting inside it.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "dictool/Cp932Texts.h"
#include "dictool/DicLine.h"
#include "dictool/JCType.h"
#include "dictool/Main.h"
#include "dictool/PageLine.h"
#include "dictool/Paging.h"
#include "dictool/TavoLibBinding.h"
#include "platform/files/Files.h"
#include "platform/system/SysUtils.h"
#include "platform/text/QtText.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

const QString kSearchError = QStringLiteral("検索エラー");

QString MissingDictionary(const std::string& path) {
  // A half-width blank after ファイル, a full-width one before が.
  return QStringLiteral("辞書ファイル ") + FromCp932(path) + QStringLiteral("　が見つかりません。");
}

}  // namespace

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
  if (LastSearchWasDic && text == LastSearchWord && ReachedEnd && !Cancelled && HitFound) return;
  ReachedEnd = false;
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
  OpenSearchDicList = SearchDicList;
  DicIndex = 0;
  const std::string path = OpenSearchDicList[0];
  if (!FileExists(path)) {
    ui::MessageBox(this, MissingDictionary(path), kSearchError, ui::MB_ICONINFORMATION);
    return false;
  }
  ClearGrid(Grid);
  DicRowCount = 0;
  Grid->SetRowCount(1);
  Grid->SetRow(0);
  Grid->SetCol(0);
  DicPageTop = 0;
  Cancelled = false;
  CancelRequest = false;
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
  SearchOpen = false;
  AddGridLine(std::string(sj::DicHeadingPrefix) + path + std::string(sj::Dash));

  Pattern = PrepareDicPattern(word);
  SearchPattern = Pattern.Pattern;
  RawMode = Pattern.RawMode;
  GroupMode = Pattern.GroupMode;
  InMatchedGroup = false;
  if (!OpenSearchFile(path)) {
    SearchEnd();
    return false;
  }
  btnSearch->setEnabled(false);
  SearchOpen = true;
  HitFound = false;
  return true;
}

bool TMainForm::OpenSearchFile(const std::string& path) {
  try {
    FileKind = IsRutFile(path) ? 2 : 1;
    RutFile.reset();
    if (FileKind == 2) {
      RutFile = std::make_unique<TRutFile>(path);
      RutFile->ReadHeader();
    }
    // A file that exists but cannot be opened shows only at the first read,
    // which then ends the search as its end would.
    FileOpen = SearchFile.OpenRead(path) == 0;
    if (FileOpen && FileKind == 2) {
      std::string header;
      SearchFile.ReadLine(header);  // the document's first text line is no braille line
    }
    LineCount = 0;
    // A group does not run on from one dictionary into the next.
    InMatchedGroup = false;
    return true;
  } catch (const std::exception& e) {
    ui::HandleException(e);
    SearchFile.Close();
    FileOpen = false;
    RutFile.reset();
    return false;
  }
}

int TMainForm::FillRowsThatFit(ui::TStringGrid* grid, int pageTop) {
  const int n = RowsThatFit(grid->ClientHeight(), grid->DefaultRowHeight(), grid->GridLineWidth());
  grid->SetTopRow(pageTop);
  while (grid->VisibleRowCount() < n) {
    const int before = grid->VisibleRowCount();
    grid->SetRowCount(grid->RowCount() + 1);
    grid->SetTopRow(pageTop);
    if (grid->VisibleRowCount() == before) break;
  }
  grid->SetTopRow(pageTop);
  return n;
}

void TMainForm::DicSearchNextPage() {
  Trace("DicSearchNextPage");
  if (PageFilling) return;
  PageFilling = true;
  bool offerRegistration = false;
  ui::SetBusyCursor(true);
  try {
    StatusPanel->setText(QStringLiteral("検索中"));
    FillRowsThatFit(Grid, DicPageTop);
    const int start = DicRowCount - 1;
    while (!CancelRequest) {
      std::string row;
      const NextHitResult r = DicSearchNextHit(DicIndex, row);
      if (r == nhHit) {
        AddGridLine(row);
        HitFound = true;
      } else if (r == nhEnd) {
        if (CancelRequest) break;
        AddGridLine(std::string(sj::SearchEndRow));
        ReachedEnd = true;
        SearchEnd();
        offerRegistration = !HitFound;
        break;
      }
      if (DicRowCount - start >= Grid->VisibleRowCount()) break;
    }
    if (SearchOpen) ui::AnnounceStatus(StatusPanel, QStringLiteral("Enterキーで続行"));
    else if (!CancelRequest) ui::AnnounceStatus(StatusPanel, QStringLiteral("検索終了"));
    PageFilling = false;
    btnSearch->setEnabled(true);
    DicPageTop = Grid->RowCount() - 1;  // a page's last row is the next page's top row
    Grid->SetRow(Grid->TopRow());
    if (CancelRequest) SearchCancel();
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ui::SetBusyCursor(false);
  PageControl1->setCurrentIndex(0);
  Grid->setFocus();
  PageFilling = false;
  AfterFill();
  // The offer comes once the page and the controls are in order, so that a
  // failure while registering cannot leave the fill half done.
  if (offerRegistration &&
      ui::MessageBox(this, QStringLiteral("見つかりませんでした。この語句を辞書に登録しますか？"), kSearchError,
                     ui::MB_OKCANCEL | ui::MB_ICONQUESTION) == ui::IDOK)
    RegisterWord(SearchWordText());
}

NextHitResult TMainForm::DicSearchNextHit(int& dicIndex, std::string& row) {
  if (!FileOpen) return nhEnd;
  std::string_view line;
  std::string converted;
  while (!SearchFile.Eof()) {
    ui::ProcessMessages();
    if (CancelRequest) return nhCancel;
    if (SearchFile.ReadLine(line) != 0) return nhEnd;
    if (FileKind == 2) {
      ++LineCount;
      converted = CnvNABCCtoKANA(std::string(line), kCnvOption);
      line = converted;
    }
    if (!IsDicHit(line, Pattern, InMatchedGroup)) continue;
    if (FileKind == 2) {
      const int perPage = RutFile != nullptr ? RutFile->GetLinesPerPage() : 0;
      row = PageLinePrefix(PageAndLine(LineCount, perPage)) + converted;
    } else {
      row.assign(line.data(), line.size());
    }
    return nhHit;
  }
  SearchFile.Close();
  FileOpen = false;
  RutFile.reset();
  ++dicIndex;
  if (dicIndex >= static_cast<int>(OpenSearchDicList.size())) return nhEnd;
  const std::string path = OpenSearchDicList[static_cast<size_t>(dicIndex)];
  if (!FileExists(path)) {
    ui::MessageBox(this, MissingDictionary(path), kSearchError, ui::MB_ICONINFORMATION);
    return nhEnd;
  }
  AddGridLine(std::string(sj::DicHeadingPrefix) + path + std::string(sj::Dash));
  return OpenSearchFile(path) ? nhNextFile : nhEnd;
}

void TMainForm::AddGridLine(const std::string& text) {
  try {
    while (DicRowCount >= Grid->RowCount()) Grid->SetRowCount(Grid->RowCount() + 1);
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  try {
    Grid->SetCell(0, DicRowCount, RawMode || FileKind == 2 ? text : HideLineCode(text));
  } catch (const std::exception& e) {
    ui::ShowMessage(FromCp932(e.what()));
  }
  ++DicRowCount;
}

}  // namespace tavo
