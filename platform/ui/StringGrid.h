// TStringGrid: a grid of CP932 text cells whose cells the form paints itself
// (OnDrawCell), with the geometry the searches page by: a default row height,
// a top row, the count of fully visible rows and growing column widths.
//
// The grid has no fixed rows or columns, no grid lines and no editing. Its
// cell texts are exposed to assistive technology as a table (GridAccessible.h),
// with braille cell characters given as Unicode braille patterns; its current
// cell is told as focused only while the grid has the focus. A current index
// is kept whenever the grid has rows, since a table without one is not safe
// for a screen reader. UI thread only.
#pragma once

#include <QColor>
#include <QTableView>

#include <functional>
#include <string>
#include <vector>

namespace tavo::ui {

class StringGridModel;

class TStringGrid : public QTableView {
  Q_OBJECT
 public:
  explicit TStringGrid(QWidget* parent = nullptr);
  ~TStringGrid() override;

  int RowCount() const;
  void SetRowCount(int rows);
  int ColCount() const;
  void SetColCount(int cols);

  // CP932 text of a cell; out-of-range reads give "".
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);
  // Empties every cell in one step; the row and column counts stay.
  void ClearCells();

  int Row() const;  // the current row, -1 without rows
  void SetRow(int row);
  int Col() const;
  void SetCol(int col);

  // The first visible row, 0 .. RowCount - 1, shown at the top of the view
  // even where the rows below it do not fill the height.
  int TopRow() const;
  void SetTopRow(int row);
  // Rows that are wholly visible from TopRow, at most RowCount - TopRow.
  int VisibleRowCount() const;

  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int height);
  // The width the row arithmetic reckons per line; no line is drawn.
  int GridLineWidth() const { return 1; }

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  int ClientWidth() const;
  int ClientHeight() const;

  QColor Color() const { return color_; }
  void SetColor(const QColor& color);

  // Paints one cell; the grid fills nothing itself.
  std::function<void(QPainter& painter, int col, const QRect& rect, int row)> OnDrawCell;

  // Horizontal scrolling as a window message asks for it: SB_LINELEFT (0),
  // SB_LINERIGHT (1).
  void HScroll(int code);

 protected:
  bool event(QEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void updateGeometries() override;

 private:
  void KeepCurrentIndex();
  void ApplyTopRow();
  void AlignTopRow();

  StringGridModel* model_;
  int defaultRowHeight_ = 24;
  int topRow_ = 0;
  bool applyingTopRow_ = false;
  QColor color_ = Qt::white;
};

// The window message that scrolls a window horizontally (WM_HSCROLL).
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINERIGHT = 1;

}  // namespace tavo::ui
