#include "platform/ui/StringGrid.h"

#include <QAbstractTableModel>
#include <QAccessible>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "platform/text/QtText.h"
#include "platform/ui/GridAccessible.h"
#include "platform/ui/WindowMessage.h"

namespace tavo::ui {

class StringGridModel : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(cols_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
      return FromCp932(Cell(index.column(), index.row()));
    return {};
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

  const std::string& Cell(int col, int row) const {
    static const std::string empty;
    if (col < 0 || col >= static_cast<int>(cols_.size()) || row < 0) return empty;
    const auto& c = cols_[static_cast<size_t>(col)];
    return row < static_cast<int>(c.size()) ? c[static_cast<size_t>(row)] : empty;
  }
  void SetCell(int col, int row, std::string text) {
    if (col < 0 || col >= static_cast<int>(cols_.size()) || row < 0 || row >= rows_) return;
    auto& c = cols_[static_cast<size_t>(col)];
    if (static_cast<int>(c.size()) <= row) c.resize(static_cast<size_t>(row) + 1);
    c[static_cast<size_t>(row)] = std::move(text);
    QModelIndex i = index(row, col);
    emit dataChanged(i, i);
  }
  void ClearCells() {
    for (auto& c : cols_) c.clear();  // cells past a column's end read as empty
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
  }
  int Rows() const { return rows_; }
  void SetRows(int rows) {
    if (rows < 0) rows = 0;
    if (rows > rows_) {
      beginInsertRows({}, rows_, rows - 1);
      rows_ = rows;
      endInsertRows();
    } else if (rows < rows_) {
      beginRemoveRows({}, rows, rows_ - 1);
      rows_ = rows;
      for (auto& c : cols_)
        if (static_cast<int>(c.size()) > rows) c.resize(static_cast<size_t>(rows));
      endRemoveRows();
    }
  }
  void SetCols(int cols) {
    if (cols < 1) cols = 1;
    const int old = static_cast<int>(cols_.size());
    if (cols > old) {
      beginInsertColumns({}, old, cols - 1);
      cols_.resize(static_cast<size_t>(cols));
      endInsertColumns();
    } else if (cols < old) {
      beginRemoveColumns({}, cols, old - 1);
      cols_.resize(static_cast<size_t>(cols));
      endRemoveColumns();
    }
  }

 private:
  int rows_ = 0;
  // Cells by column; a column holds only the rows written so far.
  std::vector<std::vector<std::string>> cols_ = std::vector<std::vector<std::string>>(1);
};

namespace {

class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit OwnerDrawDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (!grid_->OnDrawCell) return;
    painter->save();
    painter->setFont(grid_->font());
    grid_->OnDrawCell(*painter, index.column(), option.rect, index.row());
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {grid_->ColWidth(0), grid_->DefaultRowHeight()};
  }

 private:
  TStringGrid* grid_;
};

}  // namespace

TStringGrid::TStringGrid(QWidget* parent) : QTableView(parent), model_(new StringGridModel) {
  InstallGridAccessible();
  model_->setParent(this);
  setModel(model_);
  setItemDelegate(new OwnerDrawDelegate(this));
  horizontalHeader()->hide();
  verticalHeader()->hide();
  setShowGrid(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::NoSelection);
  setTabKeyNavigation(false);
  setWordWrap(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  setFrameShape(QFrame::NoFrame);
  SetColor(color_);
  // The user's scrolling moves the top row; the grid's own setting of it may
  // lie further down than the view can scroll until rows are added.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (!applyingTopRow_) topRow_ = value;
  });
}

TStringGrid::~TStringGrid() = default;

int TStringGrid::RowCount() const { return model_->Rows(); }

void TStringGrid::SetRowCount(int rows) {
  model_->SetRows(rows);
  if (topRow_ >= RowCount()) topRow_ = RowCount() > 0 ? RowCount() - 1 : 0;
  KeepCurrentIndex();
}

int TStringGrid::ColCount() const { return model_->columnCount(); }

void TStringGrid::SetColCount(int cols) { model_->SetCols(cols); }

const std::string& TStringGrid::Cell(int col, int row) const { return model_->Cell(col, row); }

void TStringGrid::SetCell(int col, int row, std::string text) { model_->SetCell(col, row, std::move(text)); }

void TStringGrid::ClearCells() { model_->ClearCells(); }

int TStringGrid::Row() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void TStringGrid::SetRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  setCurrentIndex(model_->index(row, Col() < 0 ? 0 : Col()));
}

int TStringGrid::Col() const { return currentIndex().isValid() ? currentIndex().column() : 0; }

void TStringGrid::SetCol(int col) {
  if (col < 0 || col >= ColCount() || RowCount() == 0) return;
  setCurrentIndex(model_->index(Row() < 0 ? 0 : Row(), col));
}

int TStringGrid::TopRow() const { return topRow_; }

void TStringGrid::SetTopRow(int row) {
  topRow_ = row >= RowCount() ? RowCount() - 1 : row;
  if (topRow_ < 0) topRow_ = 0;
  ApplyTopRow();
}

void TStringGrid::ApplyTopRow() {
  // The scroll range follows new rows only once the view has laid them out.
  executeDelayedItemsLayout();
  updateGeometries();
  applyingTopRow_ = true;
  verticalScrollBar()->setValue(topRow_);
  applyingTopRow_ = false;
}

int TStringGrid::VisibleRowCount() const {
  const int h = defaultRowHeight_ > 0 ? defaultRowHeight_ : 1;
  const int fit = ClientHeight() / h;
  const int left = RowCount() - TopRow();
  return left < fit ? (left < 0 ? 0 : left) : fit;
}

void TStringGrid::SetDefaultRowHeight(int height) {
  defaultRowHeight_ = height < 1 ? 1 : height;
  verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
}

int TStringGrid::ColWidth(int col) const { return columnWidth(col); }

void TStringGrid::SetColWidth(int col, int width) { setColumnWidth(col, width); }

int TStringGrid::ClientWidth() const { return viewport()->width(); }

int TStringGrid::ClientHeight() const { return viewport()->height(); }

void TStringGrid::SetColor(const QColor& color) {
  color_ = color;
  QPalette p = palette();
  p.setColor(QPalette::Base, color);
  p.setColor(QPalette::Window, color);
  setPalette(p);
  viewport()->update();
}

void TStringGrid::HScroll(int code) {
  updateGeometries();  // the range follows column widths set since the last layout
  if (code == SB_LINERIGHT) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  else if (code == SB_LINELEFT) horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
}

bool TStringGrid::event(QEvent* e) {
  if (e->type() == WindowMessageEvent::Type()) {
    auto* m = static_cast<WindowMessageEvent*>(e);
    if (m->Msg == WM_HSCROLL) {
      HScroll(static_cast<int>(m->WParam));
      return true;
    }
  }
  return QTableView::event(e);
}

void TStringGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) AlignTopRow();
}

void TStringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  // Not the table view's own handler: it tells the new current cell as
  // focused even while another control has the focus, and counts cells as
  // Qt's table interface does, with header cells this grid's has not.
  QAbstractItemView::currentChanged(current, previous);
  if (current.isValid() && hasFocus() && QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(current.row() * ColCount() + current.column());
    QAccessible::updateAccessibility(&event);
  }
}

void TStringGrid::updateGeometries() {
  // The view would stop scrolling where the last row meets the bottom edge
  // and clamp the position to that; the grid's own top row may lie further
  // down (the rest of the page is then empty), so the range reaches it and
  // the position stays.
  const bool applying = applyingTopRow_;
  applyingTopRow_ = true;
  QTableView::updateGeometries();
  QScrollBar* bar = verticalScrollBar();
  if (bar->maximum() < topRow_) bar->setMaximum(topRow_);
  if (bar->value() != topRow_) bar->setValue(topRow_);
  applyingTopRow_ = applying;
  AlignTopRow();
}

void TStringGrid::AlignTopRow() {
  // Scrolled to its end the view would align the last row with the bottom
  // edge and cut the top row; a grid shows its top row whole and leaves the
  // rest of the height empty.
  QHeaderView* header = verticalHeader();
  const int value = verticalScrollBar()->value();
  if (value < header->count() && header->offset() != header->sectionPosition(value)) {
    header->setOffsetToSectionPosition(value);
    viewport()->update();
  }
}

void TStringGrid::KeepCurrentIndex() {
  if (RowCount() > 0 && !currentIndex().isValid()) setCurrentIndex(model_->index(0, 0));
}

}  // namespace tavo::ui
