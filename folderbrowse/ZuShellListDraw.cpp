// The file list's custom drawing (see ZuShellListView.h): each row of the
// report view, and each item of the icon views, runs the item step first;
// the cells of a row whose step asked for them run the sub-item step. What
// a step draws lands over the default drawing, whose font and colours are
// the canvas's as the step left them.
#include <QApplication>
#include <QListView>
#include <QPainter>

#include "folderbrowse/ZuShellListView.h"

namespace tavo {
namespace {

TCustomDrawState StateOf(const QStyleOptionViewItem& option) {
  TCustomDrawState state = 0;
  if (option.state & QStyle::State_Selected) state |= cdsSelected;
  if (option.state & QStyle::State_HasFocus) state |= cdsFocused;
  if (option.state & QStyle::State_MouseOver) state |= cdsHot;
  return state;
}

bool SameCanvas(const TShellListCanvas& a, const TShellListCanvas& b) {
  return a.Font == b.Font && a.TextColor == b.TextColor && a.BrushColor == b.BrushColor;
}

// The default drawing takes what the step left on the canvas.
QStyleOptionViewItem WithCanvas(const QStyleOptionViewItem& option, const std::optional<TShellListCanvas>& canvas) {
  QStyleOptionViewItem o(option);
  if (!canvas) return o;
  o.font = canvas->Font;
  o.palette.setColor(QPalette::Text, canvas->TextColor);
  o.backgroundBrush = canvas->BrushColor;
  return o;
}

// Runs a drawing step with a canvas for `option`'s rectangle in `slot` (the
// view's canvas); what it draws goes to `layer`, to be put over the default
// drawing; `changed` is the canvas when the step changed its font or colours.
template <class Step>
bool RunStep(TShellListCanvas*& slot, const QStyleOptionViewItem& option, std::optional<TShellListCanvas>& changed,
             QPixmap& layer, Step&& step) {
  const qreal ratio = option.widget != nullptr ? option.widget->devicePixelRatioF() : 1.0;
  layer = QPixmap((QSizeF(option.rect.size()) * ratio).toSize());
  layer.setDevicePixelRatio(ratio);
  layer.fill(Qt::transparent);
  QPainter lp(&layer);
  lp.translate(-option.rect.topLeft());
  TShellListCanvas canvas{&lp, option.rect, option.font, option.palette.color(QPalette::Text),
                          option.palette.color(QPalette::Base)};
  const TShellListCanvas before = canvas;
  TShellListCanvas* outer = slot;
  slot = &canvas;
  const bool defaultDraw = step();
  slot = outer;
  lp.end();
  changed.reset();
  if (!SameCanvas(canvas, before)) changed = canvas;
  return defaultDraw;
}

}  // namespace

void TZuShellListView::PaintRow(QPainter* p, const QStyleOptionViewItem& option, int row,
                                const std::function<void()>& paintDefault) {
  rowDraw_ = {};
  rowDraw_.row = row;
  bool subItemDraw = false;
  QPixmap layer;
  const bool defaultDraw = RunStep(canvas_, option, rowDraw_.changed, layer,
                                   [&] { return DrawItemAttributes(row, StateOf(option), subItemDraw); });
  rowDraw_.subItemDraw = subItemDraw;
  if (defaultDraw) paintDefault();
  p->drawPixmap(option.rect.topLeft(), layer);
  rowDraw_ = {};
}

void TZuShellListView::PaintCell(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index,
                                 const std::function<void(const QStyleOptionViewItem&)>& paintDefault) {
  const int row = index.row();
  const int column = model_->ColumnNumber(index.column());
  std::optional<TShellListCanvas> changed;
  bool defaultDraw = true;
  QPixmap layer;
  if (qobject_cast<const QListView*>(option.widget) != nullptr) {
    // The icon views: the item is its one cell.
    bool subItemDraw = false;
    defaultDraw = RunStep(canvas_, option, changed, layer,
                          [&] { return DrawItemAttributes(row, StateOf(option), subItemDraw); });
  } else if (rowDraw_.row == row && rowDraw_.subItemDraw && column != lcName) {
    defaultDraw = RunStep(canvas_, WithCanvas(option, rowDraw_.changed), changed, layer,
                          [&] { return DrawSubItemAttributes(row, column, StateOf(option)); });
    if (!changed) changed = rowDraw_.changed;
  } else {
    paintDefault(WithCanvas(option, rowDraw_.row == row ? rowDraw_.changed : std::nullopt));
    return;
  }
  if (defaultDraw) paintDefault(WithCanvas(option, changed));
  p->drawPixmap(option.rect.topLeft(), layer);
}

bool TZuShellListView::DrawItemAttributes(int item, TCustomDrawState state, bool& subItemDraw) {
  TShellFileItem* it = list_->ItemAt(item);
  const std::uint32_t a = it != nullptr ? it->FindData().attributes : 0;
  constexpr std::uint32_t kShown =
      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
  subItemDraw = (a & kShown) != 0;
  const TAttributesImage& images = AttributesImage();
  if (subItemDraw && viewStyle_ == vsIcon && images.ImageList != nullptr) {
    const QRect r = Canvas().Rect;
    const QSize icon = icons_->iconSize();
    const int right = r.left() + (r.width() - icon.width()) / 2 + 5;
    int bottom = r.top() + icon.height();
    const std::pair<int, std::uint32_t> upwards[] = {{images.Archive, FILE_ATTRIBUTE_ARCHIVE},
                                                     {images.System, FILE_ATTRIBUTE_SYSTEM},
                                                     {images.Hidden, FILE_ATTRIBUTE_HIDDEN},
                                                     {images.ReadOnly, FILE_ATTRIBUTE_READONLY}};
    for (const auto& [index, bit] : upwards) {
      const QPixmap* pm = images.ImageList->At(index);
      if (pm == nullptr || (a & bit) == 0) continue;
      bottom -= pm->height();
      Canvas().Painter->drawPixmap(right - pm->width(), bottom, *pm);
      bottom -= 1;
    }
  }
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(item, state, defaultDraw, subItemDraw);
  return defaultDraw;
}

bool TZuShellListView::DrawSubItemAttributes(int item, int subItem, TCustomDrawState state) {
  bool defaultDraw = true;
  if (OnCustomDrawSubItem) OnCustomDrawSubItem(item, subItem, state, defaultDraw);
  const TAttributesImage& images = AttributesImage();
  TShellFileItem* it = list_->ItemAt(item);
  if (!defaultDraw || subItem != lcAttributes || images.ImageList == nullptr || it == nullptr) return defaultDraw;
  QPainter& p = *Canvas().Painter;
  QRect r = Canvas().Rect;
  p.save();
  p.setClipRect(r);
  QColor fill = palette().color(QPalette::Base);
  if (state & cdsSelected) fill = (state & cdsHot) ? QColor(0, 0, 255) : palette().color(QPalette::Highlight);
  p.fillRect(r, fill);
  r.setTop(r.top() + 2);
  const std::uint32_t a = it->FindData().attributes;
  const std::pair<int, std::uint32_t> rightwards[] = {{images.ReadOnly, FILE_ATTRIBUTE_READONLY},
                                                      {images.Hidden, FILE_ATTRIBUTE_HIDDEN},
                                                      {images.System, FILE_ATTRIBUTE_SYSTEM},
                                                      {images.Archive, FILE_ATTRIBUTE_ARCHIVE}};
  int x = r.left();
  for (const auto& [index, bit] : rightwards) {
    const QPixmap* pm = images.ImageList->At(index);
    if (pm == nullptr || (a & bit) == 0) continue;
    p.drawPixmap(x, r.top(), *pm);
    x += pm->width();
  }
  p.restore();
  return false;
}

}  // namespace tavo
