// The result grids' colours, font and row height, and the painting of their
// cells.
#include <QAction>
#include <QPainter>

#include "dictool/Main.h"
#include "platform/text/QtText.h"
#include "platform/ui/FileDialogs.h"
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
  bool found = false;
  for (QAction* item : items) {
    const bool mine = item->data().toInt() == tag;
    item->setChecked(mine);
    if (mine && !found) {
      found = true;
      const ColorScheme s = SchemeOf(tag);
      TextColor = s.text;
      BackColor = s.back;
      HeaderColor = s.header;
      colorScheme_ = tag;
    }
  }
  for (ui::TStringGrid* g : {Grid, Grid2}) g->SetColor(BackColor);
}

int TMainForm::GetColorScheme() const {
  for (QAction* item : {mnuColor1, mnuColor2, mnuColor3})
    if (item->isChecked()) return item->data().toInt();
  return 1;
}

void TMainForm::mnuColorClick(QAction* item) {
  // A checkable item ticks itself when clicked; the scheme decides the ticks.
  SetColorScheme(Session.PageFilling ? colorScheme_ : item->data().toInt());
  Grid->viewport()->update();
}

void TMainForm::UpdateRowHeights() {
  for (ui::TStringGrid* g : {Grid, Grid2}) {
    const QFont f = g->font();
    const int pixels = f.pixelSize() > 0 ? f.pixelSize() : qRound(f.pointSizeF() * g->logicalDpiY() / 72.0);
    g->SetDefaultRowHeight(pixels + 2);
  }
}

void TMainForm::mnuSetFontClick() {
  if (Session.PageFilling) return;
  FontDialog->Font = Grid->font();
  if (!FontDialog->Execute(this)) return;
  Grid->setFont(FontDialog->Font);
  Grid2->setFont(FontDialog->Font);
  UpdateRowHeights();
}

namespace {

void PlainCell(QPainter& canvas, const ui::TStringGrid* grid, const QRect& rect, int row, const QColor& text,
               const QColor& back) {
  canvas.fillRect(rect, back);
  canvas.setPen(text);
  canvas.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, FromCp932(grid->Cell(0, row)));
  // The current row is underlined across the cell, so that the row the keys
  // act on can be seen.
  if (row == grid->Row()) canvas.fillRect(QRect(rect.left(), rect.bottom() - 1, rect.width(), 2), text);
}

}  // namespace

void TMainForm::GridDrawCell(QPainter& canvas, int, const QRect& rect, int row) {
  PlainCell(canvas, Grid, rect, row, TextColor, BackColor);
}

void TMainForm::Grid2DrawCell(QPainter& canvas, int, const QRect& rect, int row) {
  PlainCell(canvas, Grid2, rect, row, TextColor, BackColor);
}

}  // namespace tavo
