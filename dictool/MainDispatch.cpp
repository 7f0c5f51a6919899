// How keys, mouse presses and the two search actions of the main window
// reach the searches. With no search open, "外部検索" starts an external
// search however it is pressed (a click, Space or Enter on it while it has
// the focus). "検索" starts the search that GaibuIntent asks for: a mouse
// press on "外部検索" or Shift+Enter sets it, and the next key release
// clears it, so Enter in the search box is a dictionary search.
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>

#include "dictool/Main.h"
#include "platform/ui/StringGrid.h"
#include "platform/ui/WindowMessage.h"

namespace tavo {
namespace {

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Exactly Shift held (the keypad flag of the Enter key does not count).
bool OnlyShift(Qt::KeyboardModifiers m) { return (m & ~Qt::KeypadModifier) == Qt::ShiftModifier; }

}  // namespace

// Both search actions end in the same choice: continue the open search on
// the action's own page, or start a search: an external one when `gaibu`
// or GaibuIntent asks for it.
void TMainForm::SearchAction(int page, void (TMainForm::*nextPage)(), bool gaibu) {
  if (session_.PageFilling) return;
  if (session_.SearchOpen) {
    PageControl1->setCurrentIndex(page);
    (this->*nextPage)();
  } else if (gaibu || GaibuIntent) {
    GaibuSearch(LastFolder);
  } else {
    DicSearch();
  }
}

void TMainForm::ActionDicSearchExecute() { SearchAction(0, &TMainForm::DicSearchNextPage, false); }

// A button named 外部検索 never runs a dictionary search: pressed by Space
// or Enter the key's release has cleared GaibuIntent before the click.
void TMainForm::ActionGaibuSearchExecute() { SearchAction(1, &TMainForm::GaibuSearchNextPage, true); }

void TMainForm::btnSearchMouseDown() { GaibuIntent = false; }

void TMainForm::btnGaibuSearchMouseDown() { GaibuIntent = true; }

void TMainForm::cbSearchWordKeyDown(int& key, Qt::KeyboardModifiers shift) {
  if (!IsEnter(key) || !OnlyShift(shift)) return;
  if (session_.PageFilling) return;
  if (session_.SearchOpen) {
    PageControl1->setCurrentIndex(1);
    GaibuSearchNextPage();
  } else {
    GaibuIntent = true;
    GaibuSearch(LastFolder);
  }
}

void TMainForm::cbSearchWordKeyPress(QChar& key) {
  if (GaibuIntent) key = QChar();
}

void TMainForm::btnGaibuSearchKeyPress(QChar& key) { key = QChar(); }

void TMainForm::cbSearchWordKeyUp(int&, Qt::KeyboardModifiers) { GaibuIntent = false; }

void TMainForm::GridKeyUp(int&, Qt::KeyboardModifiers) { GaibuIntent = false; }

void TMainForm::Grid2KeyUp(int&, Qt::KeyboardModifiers) { GaibuIntent = false; }

// The key handling both result grids share; `grid` is the grid the key came
// to. The key is never consumed.
void TMainForm::ResultGridKeyDown(ui::TStringGrid* grid, int key, Qt::KeyboardModifiers shift) {
  if (key == Qt::Key_Right) {
    ui::PostMessage(grid, ui::WM_HSCROLL, ui::SB_LINERIGHT, 0);
  } else if (key == Qt::Key_Left) {
    ui::PostMessage(grid, ui::WM_HSCROLL, ui::SB_LINELEFT, 0);
  } else if (IsEnter(key) && OnlyShift(shift)) {
    if (session_.PageFilling) return;
    if (session_.SearchOpen) {
      if (session_.GaibuMode == 1) {
        PageControl1->setCurrentIndex(1);
        GaibuSearchNextPage();
      } else {
        PageControl1->setCurrentIndex(0);
        DicSearchNextPage();
      }
    } else {
      GaibuIntent = true;
      GaibuSearch(LastFolder);
    }
  }
}

void TMainForm::GridKeyDown(int& key, Qt::KeyboardModifiers shift) { ResultGridKeyDown(Grid, key, shift); }

void TMainForm::Grid2KeyDown(int& key, Qt::KeyboardModifiers shift) { ResultGridKeyDown(Grid2, key, shift); }

void TMainForm::btnSearchCancelClick() {
  if (session_.PageFilling) session_.CancelRequest = true;  // the fill stops at its next line
  else SearchCancel();
}

}  // namespace tavo
