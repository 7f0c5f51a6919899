#include "platform/ui/GridAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTableView>

#include <map>
#include <utility>

namespace tavo::ui {
namespace {

constexpr const char* kGridClass = "tavo::ui::TStringGrid";

class GridTable;

class GridCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  GridCell(QTableView* view, int row, int col) : view_(view), row_(row), col_(col) {}

  void MoveTo(int row) { row_ = row; }

  bool isValid() const override {
    return view_ != nullptr && view_->model() != nullptr && row_ < view_->model()->rowCount() &&
           col_ < view_->model()->columnCount();
  }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    return Index().data(Qt::AccessibleTextRole).toString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    return view_->visualRect(Index()).translated(view_->viewport()->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) return s;
    s.focusable = true;
    // Where the focus is: not in a grid that does not have it.
    s.focused = view_->hasFocus() && view_->currentIndex() == Index();
    if (!view_->viewport()->rect().intersects(view_->visualRect(Index()))) {
      s.invisible = true;
      s.offscreen = true;
    }
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
  }

  bool isSelected() const override { return false; }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return col_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  QModelIndex Index() const { return view_->model()->index(row_, col_); }

  QPointer<QTableView> view_;
  int row_;
  const int col_;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit GridTable(QTableView* view) : QAccessibleWidget(view, QAccessible::Table) {}
  ~GridTable() override { DropCells(); }

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  int childCount() const override { return rowCount() * columnCount(); }
  QAccessibleInterface* child(int index) const override {
    const int cols = columnCount();
    if (index < 0 || cols == 0 || index >= childCount()) return nullptr;
    return Cell(index / cols, index % cols);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr || child->role() != QAccessible::Cell) return -1;
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    if (cell == nullptr || cell->table() != this) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QModelIndex index = View()->indexAt(View()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? Cell(index.row(), index.column()) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    const QModelIndex current = View()->currentIndex();
    if (!View()->hasFocus() || !current.isValid()) return nullptr;
    return Cell(current.row(), current.column());
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    return Cell(row, column);
  }
  int selectedCellCount() const override { return 0; }
  QList<QAccessibleInterface*> selectedCells() const override { return {}; }
  QString columnDescription(int) const override { return {}; }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  int columnCount() const override { return View()->model() != nullptr ? View()->model()->columnCount() : 0; }
  int rowCount() const override { return View()->model() != nullptr ? View()->model()->rowCount() : 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }

  void modelChange(QAccessibleTableModelChangeEvent* event) override {
    switch (event->modelChangeType()) {
      case QAccessibleTableModelChangeEvent::DataChanged:
        return;  // a cell reads its text when asked
      case QAccessibleTableModelChangeEvent::RowsInserted:
        ShiftRows(event->firstRow(), event->lastRow() - event->firstRow() + 1);
        return;
      case QAccessibleTableModelChangeEvent::RowsRemoved:
        ShiftRows(event->firstRow(), -(event->lastRow() - event->firstRow() + 1));
        return;
      default:
        DropCells();
        return;
    }
  }

 private:
  QTableView* View() const { return static_cast<QTableView*>(widget()); }

  QAccessibleInterface* Cell(int row, int col) const {
    auto it = cells_.find({row, col});
    if (it != cells_.end()) return QAccessible::accessibleInterface(it->second);
    auto* cell = new GridCell(View(), row, col);
    cells_[{row, col}] = QAccessible::registerAccessibleInterface(cell);
    return cell;
  }

  // Rows from `first` on moved by `by`; a negative `by` removed the rows
  // first .. first - by - 1, whose cells go.
  void ShiftRows(int first, int by) {
    std::map<std::pair<int, int>, QAccessible::Id> kept;
    for (const auto& [at, id] : cells_) {
      const int row = at.first;
      if (row < first) {
        kept.emplace(at, id);
      } else if (by < 0 && row < first - by) {
        QAccessible::deleteAccessibleInterface(id);
      } else {
        static_cast<GridCell*>(QAccessible::accessibleInterface(id))->MoveTo(row + by);
        kept.emplace(std::make_pair(row + by, at.second), id);
      }
    }
    cells_ = std::move(kept);
  }

  void DropCells() {
    for (const auto& [at, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
  }

  mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

QAccessibleInterface* GridFactory(const QString& className, QObject* object) {
  if (className != QLatin1String(kGridClass)) return nullptr;
  auto* view = qobject_cast<QTableView*>(object);
  return view != nullptr ? new GridTable(view) : nullptr;
}

}  // namespace

void InstallGridAccessible() {
  static const bool installed = [] {
    QAccessible::installFactory(GridFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tavo::ui
