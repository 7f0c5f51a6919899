#include "folderbrowse/ZuShellListView.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QPainter>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <cerrno>

#include "folderbrowse/ZuShellCst.h"
#include "folderbrowse/ZuShellDragQt.h"
#include "folderbrowse/ZuShellItemModel.h"
#include "platform/system/OSError.h"
#include "platform/text/Cp932Name.h"
#include "platform/text/QtText.h"
#include "platform/ui/StatusLine.h"
#include "platform/ui/AccessibleNames.h"
#include "platform/ui/FocusedItemView.h"

namespace tavo {
namespace {

// The views hand typed text to the list's own type-ahead.
template <class View>
class TypeAheadView : public ui::FocusedItemView<View> {
 public:
  explicit TypeAheadView(TZuShellListView* owner) : ui::FocusedItemView<View>(owner), owner_(owner) {}
  void keyboardSearch(const QString& text) override { owner_->KeyboardSearch(text); }
  bool edit(const QModelIndex& index, QAbstractItemView::EditTrigger trigger, QEvent* event) override {
    if (!owner_->List().CanRename(index.row())) return false;
    return View::edit(index, trigger, event);
  }
  // Tab in a name's editor commits it as Enter does; it starts no edit of
  // the next item.
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
      hint = QAbstractItemDelegate::NoHint;
    View::closeEditor(editor, hint);
  }

 private:
  TZuShellListView* owner_;
};

// The report view: each row goes through the list's item step.
class StepReportView : public TypeAheadView<QTreeView> {
 public:
  explicit StepReportView(TZuShellListView* owner) : TypeAheadView<QTreeView>(owner), owner_(owner) {}

 protected:
  void drawRow(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    owner_->PaintRow(p, option, index.row(), [&] { QTreeView::drawRow(p, option, index); });
  }

 private:
  TZuShellListView* owner_;
};

// Every cell goes through the list's drawing steps.
class StepDelegate : public QStyledItemDelegate {
 public:
  StepDelegate(TZuShellListView* owner, QObject* parent) : QStyledItemDelegate(parent), owner_(owner) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    owner_->PaintCell(p, option, index,
                      [&](const QStyleOptionViewItem& o) { QStyledItemDelegate::paint(p, o, index); });
  }

 protected:
  // A background a drawing step chose stays, unless the model has its own.
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    const QBrush chosen = option->backgroundBrush;
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->backgroundBrush.style() == Qt::NoBrush) option->backgroundBrush = chosen;
  }

 private:
  TZuShellListView* owner_;
};

}  // namespace

TZuShellListView::TZuShellListView(QWidget* parent, TShellFileListTiming timing)
    : QWidget(parent), list_(std::make_unique<TShellFileList>(timing)) {
  model_ = new TShellListModel(*list_, this);
  stack_ = new QStackedLayout(this);
  stack_->setContentsMargins(0, 0, 0, 0);

  report_ = new StepReportView(this);
  report_->setObjectName(QStringLiteral("ReportView"));
  report_->setRootIsDecorated(false);
  report_->setItemsExpandable(false);
  report_->setUniformRowHeights(true);
  report_->setAllColumnsShowFocus(true);
  report_->header()->setSectionsClickable(true);
  report_->header()->setSectionsMovable(true);
  report_->header()->setStretchLastSection(false);
  report_->header()->setSectionResizeMode(QHeaderView::Interactive);
  report_->header()->setSortIndicatorShown(true);
  icons_ = new TypeAheadView<QListView>(this);
  icons_->setObjectName(QStringLiteral("IconView"));
  icons_->setUniformItemSizes(true);
  icons_->setLayoutMode(QListView::Batched);
  icons_->setBatchSize(2000);
  icons_->setResizeMode(QListView::Adjust);
  icons_->setMovement(QListView::Static);
  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(QAbstractItemView::EditKeyPressed);
    v->setItemDelegate(new StepDelegate(this, v));
    ui::SetAccessibleName(v, QStringLiteral("ファイル"));
    v->viewport()->installEventFilter(this);
    v->installEventFilter(this);  // its keys
    v->setAcceptDrops(true);
    v->viewport()->setAcceptDrops(true);
    stack_->addWidget(v);
    connect(v, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { Activated(index); });
  }
  report_->setModel(model_);
  icons_->setModel(model_);
  icons_->setSelectionModel(report_->selectionModel());  // one selection for both
  connect(report_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& s, const QItemSelection& d) { SelectionChanged(s, d); });
  connect(report_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!syncing_) list_->SetFocused(current.row());
    emit currentItemChanged();
  });
  connect(report_->header(), &QHeaderView::sectionClicked, this, [this](int section) { HeaderClicked(section); });
  connect(report_->header(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
    if (!syncing_) list_->SetColumnWidth(model_->ColumnNumber(section), size);
  });
  connect(report_->header(), &QHeaderView::sectionMoved, this, [this] {
    if (syncing_) return;
    std::vector<int> order;
    for (int v = 0; v < report_->header()->count(); ++v)
      order.push_back(model_->ColumnNumber(report_->header()->logicalIndex(v)));
    list_->SetColumnOrder(order);
  });
  connect(model_, &TShellListModel::listReset, this, [this] { TakeListState(); });
  // Sizes read after the names may need a wider column.
  connect(model_, &QAbstractItemModel::dataChanged, this, [this] { FitSizeColumn(); });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const bool contented =
        data != nullptr && data->hasFormat(QString::fromLatin1(ShellClipFormats[cfShellIDList].data(),
                                                               static_cast<int>(ShellClipFormats[cfShellIDList].size())));
    list_->ClipboardChanged(contented);
  });

  folderNote_ = new QLabel(this);
  folderNote_->setObjectName(QStringLiteral("FolderNote"));
  folderNote_->setWordWrap(true);
  folderNote_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  folderNote_->setMargin(12);
  folderNote_->setAttribute(Qt::WA_TransparentForMouseEvents);
  folderNote_->hide();
  ui::MakeStatusLine(folderNote_);

  InstallShellQtServices();
  list_->OnEditRow = [this](int row) {
    if (row >= 0) CurrentView()->edit(model_->index(row, 0));
  };
  viewStyle_ = vsReport;  // so that the first style change takes effect
  SetViewStyle(vsIcon);
  list_->SetClientWidth(width());
  PItemIDList desktop = nullptr;
  if (GetSpecialFolderPIDL(0, desktop)) {
    UniquePIDL owned(desktop);
    list_->BrowseTo(owned.get());
  }
}

TZuShellListView::~TZuShellListView() {
  report_->setModel(nullptr);
  icons_->setModel(nullptr);
  delete model_;
  model_ = nullptr;
  list_.reset();
}

QAbstractItemView* TZuShellListView::CurrentView() const {
  return viewStyle_ == vsReport ? static_cast<QAbstractItemView*>(report_) : static_cast<QAbstractItemView*>(icons_);
}

void TZuShellListView::SetViewStyle(TViewStyle style) {
  if (style == viewStyle_) return;
  const bool hadFocus = CurrentView()->hasFocus();
  if (list_->Count() > 0 && (style == vsList || viewStyle_ == vsList))
    CurrentView()->scrollTo(model_->index(0, 0));
  viewStyle_ = style;
  if (style != vsReport) {
    const bool large = style == vsIcon;
    icons_->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    icons_->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    icons_->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setWrapping(true);
    const int line = fontMetrics().height();
    icons_->setGridSize(large ? QSize(96, 40 + 2 * line) : QSize(180, std::max(18, line + 4)));
    icons_->setWordWrap(large);
    icons_->setMovement(QListView::Static);
    if (list_->Count() > 0 && style == vsList) icons_->scrollTo(model_->index(0, 0));
  }
  stack_->setCurrentWidget(CurrentView());
  if (hadFocus) CurrentView()->setFocus();
  if (folderNote_ != nullptr && folderNote_->isVisible()) PlaceFolderNote();
}

void TZuShellListView::SetReportColumnWidth(int number, int width) {
  list_->SetReportColumnWidth(number, width);
  ApplyColumns();
  FitSizeColumn();
}

void TZuShellListView::ApplyColumns() {
  QHeaderView* header = report_->header();
  const auto& columns = list_->Columns();
  const bool wasSyncing = syncing_;
  syncing_ = true;
  for (std::size_t i = 0; i < columns.size() && static_cast<int>(i) < header->count(); ++i)
    header->resizeSection(static_cast<int>(i), columns[i].Width);
  const auto& order = list_->ColumnOrder();
  for (int v = 0; v < static_cast<int>(order.size()) && v < header->count(); ++v) {
    int logical = -1;
    for (int c = 0; c < header->count(); ++c)
      if (model_->ColumnNumber(c) == order[static_cast<std::size_t>(v)]) logical = c;
    if (logical >= 0 && header->visualIndex(logical) != v) header->moveSection(header->visualIndex(logical), v);
  }
  syncing_ = wasSyncing;
}

void TZuShellListView::ShowSortIndicator() {
  int section = -1;
  for (int c = 0; c < model_->columnCount(); ++c)
    if (model_->ColumnNumber(c) == list_->SortColumn()) section = c;
  const bool ascending = list_->SortDirection(list_->SortColumn()) > 0;
  // Without the column (a folder of one column) no arrow shows.
  report_->header()->setSortIndicator(section, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TZuShellListView::TakeListState() {
  ShowFolderNote();
  syncing_ = true;
  ApplyColumns();
  ShowSortIndicator();
  QItemSelectionModel* sm = report_->selectionModel();
  QItemSelection selection;
  const int n = list_->Count();
  const int lastColumn = std::max(0, model_->columnCount() - 1);
  for (int i = 0; i < n;) {
    if (!list_->ItemAt(i)->Selected) {
      ++i;
      continue;
    }
    int j = i;
    while (j + 1 < n && list_->ItemAt(j + 1)->Selected) ++j;
    selection.select(model_->index(i, 0), model_->index(j, lastColumn));
    i = j + 1;
  }
  sm->select(selection, QItemSelectionModel::ClearAndSelect);
  // A view with rows always has a current row (screen readers need one).
  int focused = list_->FocusedIndex();
  if (focused < 0 && n > 0) focused = 0;
  if (focused >= 0) {
    sm->setCurrentIndex(model_->index(focused, 0), QItemSelectionModel::NoUpdate);
    CurrentView()->scrollTo(model_->index(focused, 0));
  }
  syncing_ = false;
  FitSizeColumn();
  emit currentItemChanged();
}

bool TZuShellListView::CurrentIsFolder() const {
  TShellFileItem* item = list_->ItemAt(report_->currentIndex().row());
  return item != nullptr && item->HasAttribute(15);
}

void TZuShellListView::ShowFolderNote() {
  if (!list_->FolderUnreadable()) {
    folderNote_->hide();
    folderNote_->clear();
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)})
      v->setAccessibleDescription({});
    return;
  }
  const int error = list_->FolderReadError();
  const QString text = error == EACCES || error == EPERM
                           ? QStringLiteral("このフォルダは読み取れません。中を見る権限がありません。")
                           : QStringLiteral("このフォルダは読み取れません（%1）。").arg(FromCp932(FileErrorText(error)));
  for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)})
    v->setAccessibleDescription(text);
  PlaceFolderNote();
  folderNote_->show();
  folderNote_->raise();
  ui::AnnounceStatus(folderNote_, text);
}

void TZuShellListView::PlaceFolderNote() {
  const QWidget* viewport = CurrentView()->viewport();
  folderNote_->setGeometry(QRect(viewport->mapTo(this, QPoint(0, 0)), viewport->size()));
}

void TZuShellListView::FitSizeColumn() {
  int section = -1;
  for (int c = 0; c < model_->columnCount(); ++c)
    if (model_->ColumnNumber(c) == lcSize) section = c;
  const int row = list_->LargestFileIndex();
  if (section < 0 || row < 0) return;
  const int needed = report_->sizeHintForIndex(model_->index(row, section)).width() + 4;
  if (report_->header()->sectionSize(section) < needed) report_->header()->resizeSection(section, needed);
}

void TZuShellListView::SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  if (syncing_) return;
  list_->LockSelChange();
  for (const QItemSelectionRange& r : deselected) list_->SetSelected(r.top(), r.bottom(), false);
  // A row counts as selected while any of its cells is.
  for (const QItemSelectionRange& r : deselected)
    for (int row = r.top(); row <= r.bottom(); ++row)
      if (report_->selectionModel()->isRowSelected(row, {})) list_->SetSelected(row, row, true);
  for (const QItemSelectionRange& r : selected) list_->SetSelected(r.top(), r.bottom(), true);
  list_->UnlockSelChange();
}

void TZuShellListView::Activated(const QModelIndex& index) {
  TShiftState shift = 0;
  const Qt::KeyboardModifiers m = QApplication::keyboardModifiers();
  if (m & Qt::ShiftModifier) shift |= ssShift;
  if (m & Qt::ControlModifier) shift |= ssCtrl;
  if (m & Qt::AltModifier) shift |= ssAlt;
  // By the mouse, the point of the click; by the keyboard, the item's corner.
  const QPoint at = activatedAt_.value_or(CurrentView()->visualRect(index).topLeft());
  list_->ExecuteItem(index.row(), shift, model_->ColumnNumber(index.column()), at.x(), at.y());
}

void TZuShellListView::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  const QEvent::Type t = e->type();
  if (t != QEvent::ThemeChange && t != QEvent::StyleChange && t != QEvent::LocaleChange) return;
  if (refillPosted_) return;
  // One refill for a burst of changes, once they have all arrived.
  refillPosted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refillPosted_ = false;
        ReloadShellItemIcons();
        if (list_->FolderPIDL() != nullptr) list_->Browse(list_->FolderPIDL());
      },
      Qt::QueuedConnection);
}

void TZuShellListView::HeaderClicked(int section) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  list_->ColumnClick(model_->ColumnNumber(section));
  QApplication::restoreOverrideCursor();
  ShowSortIndicator();  // the header turned its arrow itself, also where the list did not sort
}

void TZuShellListView::KeyboardSearch(const QString& text) {
  if (text.isEmpty()) return;
  QAbstractItemView* view = CurrentView();
  const int current = view->currentIndex().isValid() ? view->currentIndex().row() : 0;
  int start = current;
  if (!typedAt_.isValid() || typedAt_.elapsed() > QApplication::keyboardInputInterval()) {
    typed_.clear();
    start = current + 1;  // the same letter again goes on to the next name
  }
  typed_ += text;
  typedAt_.restart();
  // A name with no CP932 form is named by its escaped form: so is what was
  // typed when it has none, or when its CP932 form finds nothing.
  TShellFileList::TShellFindInfo find;
  find.Kind = TShellFileList::fkPartial;
  find.Wrap = true;
  int row = -1;
  if (const std::optional<std::string> plain = ToCp932(typed_)) {
    find.Text = *plain;
    row = list_->FindItem(find, start);
  }
  if (row < 0) {
    const QByteArray utf8 = typed_.toUtf8();
    find.Text = Cp932FormOfOsBytes(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    row = list_->FindItem(find, start);
  }
  if (row < 0) return;
  const QModelIndex index = model_->index(row, 0);
  view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(index);
}

int TZuShellListView::RowAt(QPoint pos) const {
  QModelIndex index = CurrentView()->indexAt(pos);
  // Between the icons of the large-icon view the text sits a little higher.
  if (!index.isValid() && viewStyle_ == vsIcon) index = CurrentView()->indexAt(pos - QPoint(0, 2));
  return index.isValid() ? index.row() : -1;
}

bool TZuShellListView::DragEvent(QEvent* event) {
  QAbstractItemView* view = CurrentView();
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto* e = static_cast<QDragEnterEvent*>(event);
      const ShellDataObject data = ShellDataOf(e->mimeData());
      std::uint32_t effect = EffectsOf(e->possibleActions());
      const QPoint screen = view->viewport()->mapToGlobal(e->position().toPoint());
      list_->DragEnter(&data, KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
      if (list_->DropSite().CurrentDragObject() != nullptr) e->acceptProposedAction();
      else e->ignore();
      return true;
    }
    case QEvent::DragMove: {
      auto* e = static_cast<QDragMoveEvent*>(event);
      const QPoint p = e->position().toPoint();
      const QPoint screen = view->viewport()->mapToGlobal(p);
      std::uint32_t effect = EffectsOf(e->possibleActions());
      list_->DragOver(RowAt(p), KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
      const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
      const TAutoScroll step =
          AutoScrollStep(p.x(), p.y(), view->viewport()->width(), view->viewport()->height(), fontMetrics().height(),
                         view->verticalScrollBar()->maximum() > 0 ? thumb : 0,
                         view->horizontalScrollBar()->maximum() > 0 ? thumb : 0);
      if (step.dy != 0)
        view->verticalScrollBar()->triggerAction(step.dy < 0 ? QAbstractSlider::SliderSingleStepSub
                                                             : QAbstractSlider::SliderSingleStepAdd);
      if (step.dx != 0)
        view->horizontalScrollBar()->triggerAction(step.dx < 0 ? QAbstractSlider::SliderSingleStepSub
                                                               : QAbstractSlider::SliderSingleStepAdd);
      if (effect == DROPEFFECT_NONE) {
        e->ignore();
      } else {
        e->setDropAction(DropActionOf(effect));
        e->accept();
      }
      return true;
    }
    case QEvent::DragLeave:
      list_->DragLeave();
      return true;
    case QEvent::Drop: {
      auto* e = static_cast<QDropEvent*>(event);
      const ShellDataObject data = ShellDataOf(e->mimeData());
      const QPoint screen = view->viewport()->mapToGlobal(e->position().toPoint());
      std::uint32_t effect = EffectsOf(e->possibleActions());
      list_->Drop(&data, KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
      e->setDropAction(DropActionOf(effect));
      e->accept();
      return true;
    }
    case QEvent::ContextMenu: {
      auto* e = static_cast<QContextMenuEvent*>(event);
      // The menu key acts on the selection as a right press would.
      const bool key = e->reason() == QContextMenuEvent::Keyboard && list_->ShellPopupMenu() != nullptr &&
                       list_->SelectedCount() > 0;
      if (key) list_->RightButtonDown(true, 0, 0);
      const bool shown = list_->ContextPopup({e->globalPos().x(), e->globalPos().y()});
      if (key && !shown) list_->RightButtonUp();  // no button is really held
      if (!shown) return false;
      e->accept();
      return true;
    }
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      const QPoint p = me->position().toPoint();
      const Qt::MouseButtons held = QApplication::mouseButtons() | me->buttons();
      auto start = list_->BeginDrag(p.x(), p.y(), held & Qt::LeftButton, held & Qt::RightButton);
      if (!start) return false;
      RunShellDrag(view, *start);
      list_->EndDrag();
      return true;
    }
    default:
      return false;
  }
}

bool TZuShellListView::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == report_ || watched == icons_) && event->type() == QEvent::KeyPress) activatedAt_.reset();
  if ((watched == report_->viewport() || watched == icons_->viewport()) && DragEvent(event)) return true;
  if (watched == report_->viewport() || watched == icons_->viewport()) {
    if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseButtonRelease)
      activatedAt_ = static_cast<QMouseEvent*>(event)->position().toPoint();
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
      auto* me = static_cast<QMouseEvent*>(event);
      const QPoint pos = me->position().toPoint();
      const bool onItem = CurrentView()->indexAt(pos).isValid();
      const bool press = event->type() == QEvent::MouseButtonPress;
      if (me->button() == Qt::LeftButton) {
        if (press) list_->LeftButtonDown(onItem, pos.x(), pos.y());
        else list_->LeftButtonUp();
      } else if (me->button() == Qt::RightButton) {
        if (press) list_->RightButtonDown(onItem, pos.x(), pos.y());
        else list_->RightButtonUp();
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TZuShellListView::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  list_->DoShSelChange(list_->SelectionTotal());
}

void TZuShellListView::focusInEvent(QFocusEvent* e) {
  // The focus given to the list goes to the view that shows the rows. Not
  // a focus proxy: the list, which has no name, would be told as focused
  // with its view.
  CurrentView()->setFocus(e->reason());
}

void TZuShellListView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  list_->SetClientWidth(width());
  if (folderNote_->isVisible()) PlaceFolderNote();
}

}  // namespace tavo
