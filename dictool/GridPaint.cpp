// The result grids' colours, font and row height, and the painting of their
// cells.
#include <QAction>
#include <QPainter>

#include <algorithm>
#include <iterator>

#include "dictool/Main.h"
#include "folderbrowse/DlgFolderSelect.h"
#include "platform/ui/FileDialogs.h"
#include "platform/ui/FontChoice.h"
#include "platform/ui/StringGrid.h"

namespace tavo {
namespace {

struct ColorScheme {
  QColor text, back, header;
};

ColorScheme SchemeOf(int tag) {
  switch (tag) {
    case 2: return {QColor(255, 255, 255), QColor(0, 0, 0), QColor(0, 255, 255)};
    case 3: return {QColor(0, 0, 0), QColor(255, 255, 255), QColor(0, 0, 255)};
    default: return {QColor(0, 255, 0), QColor(0, 0, 0), QColor(0, 255, 255)};
  }
}

}  // namespace

void TMainForm::SetColorScheme(int tag) {
  QAction* items[] = {mnuColor1, mnuColor2, mnuColor3};
  // A tag that names no item (a settings file edited by hand) is the first
  // scheme, not the colours the window happens to hold: at start those are
  // black on black.
  if (std::none_of(std::begin(items), std::end(items), [tag](QAction* i) { return i->data().toInt() == tag; }))
    tag = 1;
  for (QAction* item : items) item->setChecked(item->data().toInt() == tag);
  const ColorScheme s = SchemeOf(tag);
  TextColor = s.text;
  BackColor = s.back;
  HeaderColor = s.header;
  colorScheme_ = tag;
  // Both grids repaint in the new colours.
  for (ui::TStringGrid* g : {Grid, Grid2}) g->SetColor(BackColor);
}

int TMainForm::GetColorScheme() const {
  for (QAction* item : {mnuColor1, mnuColor2, mnuColor3})
    if (item->isChecked()) return item->data().toInt();
  return 1;
}

void TMainForm::mnuColorClick(QAction* item) {
  // A checkable item ticks itself when clicked; the scheme decides the ticks.
  SetColorScheme(session_.PageFilling ? colorScheme_ : item->data().toInt());
}

void TMainForm::UpdateRowHeights() {
  for (ui::TStringGrid* g : {Grid, Grid2}) {
    const QFont f = g->font();
    const int pixels = f.pixelSize() > 0 ? f.pixelSize() : qRound(f.pointSizeF() * g->logicalDpiY() / 72.0);
    g->SetDefaultRowHeight(pixels + 2);
  }
}

void TMainForm::mnuSetFontClick() {
  if (session_.PageFilling) return;
  const QFont current = Grid->font();
  FontDialog->Font = ui::FontToOffer(current);
  if (!FontDialog->Execute(this)) return;
  const QFont chosen = ui::FontChosen(current, FontDialog->Font);
  Grid->setFont(chosen);
  Grid2->setFont(chosen);
  UpdateRowHeights();
}

void TMainForm::GridDrawCell(QPainter& canvas, int col, const QRect& rect, int row) {
  DrawGridCell(canvas, col, rect, row);
}

void TMainForm::Grid2DrawCell(QPainter& canvas, int col, const QRect& rect, int row) {
  DrawGrid2Cell(canvas, col, rect, row);
}

namespace {

// Columns grow to the widest text drawn and never shrink while the program
// runs.
void Widen(ui::TStringGrid* grid, int col, int width) {
  if (grid->ColWidth(col) < width) grid->SetColWidth(col, width);
}

}  // namespace

void TMainForm::DrawGridCell(QPainter& canvas, int col, const QRect& rect, int row) {
  const CellRow cell{Grid->Cell(col, row), HighlightWord, false, row == Grid->Row()};
  Widen(Grid, col,
        cellPainter_.PaintCell(canvas, rect, ResultRows::Dictionary, {TextColor, BackColor, HeaderColor},
                               Grid->font(), cell));
}

void TMainForm::DrawGrid2Cell(QPainter& canvas, int col, const QRect& rect, int row) {
  const bool similar = folderDlg_ != nullptr && folderDlg_->N3->isChecked();
  const CellRow cell{Grid2->Cell(col, row), HighlightWord2, similar, row == Grid2->Row()};
  Widen(Grid2, col,
        cellPainter_.PaintCell(canvas, rect, ResultRows::External, {TextColor, BackColor, HeaderColor},
                               Grid2->font(), cell));
}

}  // namespace tavo
