#include "folderbrowse/ZuShellTreeView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include "folderbrowse/ZuShellDragQt.h"
#include "folderbrowse/ZuShellTreeModel.h"

namespace tavo {

// Paints a row as the view's OnCustomDrawItem lets it.
class TShellTreeDelegate final : public QStyledItemDelegate {
 public:
  explicit TShellTreeDelegate(TZuShellTreeView* view) : QStyledItemDelegate(view), view_(view) {}
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    p->save();
    const bool defaultDraw = view_->DoCustomDrawItem(view_->model_->NodeOf(index), *p, option);
    p->restore();
    if (defaultDraw) QStyledItemDelegate::paint(p, option, index);
  }

 private:
  TZuShellTreeView* view_;
};

TZuShellTreeView::TZuShellTreeView(QWidget* parent, TShDirWatcherTiming timing)
    : ui::FocusedItemView<QTreeView>(parent), tree_(std::make_unique<TShellFolderTree>(timing)) {
  model_ = new TShellTreeModel(*tree_, this);
  setModel(model_);
  setItemDelegate(new TShellTreeDelegate(this));
  setHeaderHidden(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setIndentation(19);
  setUniformRowHeights(true);
  setAccessibleName(QStringLiteral("フォルダ"));
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  InstallShellQtServices();

  connect(model_, &TShellTreeModel::expansionChanged, this, [this](const QModelIndex& index, bool expanded) {
    following_ = true;
    setExpanded(index, expanded);
    following_ = false;
  });
  connect(model_, &TShellTreeModel::selectionMoved, this, [this](const QModelIndex& index) { FollowTree(index); });
  connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
    if (following_) return;
    if (!tree_->Expand(model_->NodeOf(index))) {
      following_ = true;
      collapse(index);
      following_ = false;
    }
  });
  connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
    if (following_ || tree_->Collapse(model_->NodeOf(index))) return;
    following_ = true;  // OnCollapsing kept it open
    expand(index);
    following_ = false;
  });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { CurrentChanged(current); });
  tree_->OnChange = [this] {
    if (OnChange) OnChange();
  };
  tree_->OnEditNode = [this](TShellFolderNode* node) { QTreeView::edit(model_->IndexOf(node)); };
  tree_->BuildRoot();
}

TZuShellTreeView::~TZuShellTreeView() {
  tree_->OnChange = nullptr;
  setModel(nullptr);
  delete model_;
  model_ = nullptr;
  tree_.reset();
}

void TZuShellTreeView::FollowTree(const QModelIndex& index) {
  following_ = true;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  following_ = false;
  // Moved from outside (the path box, the start folder, the up button): the
  // view shows the folder anew. Moved in the view, it scrolls as it does.
  if (hasFocus()) {
    if (index.isValid()) scrollTo(index);
  } else {
    ShowSelected();
  }
}

void TZuShellTreeView::ShowSelected() {
  const QModelIndex index = currentIndex();
  if (!index.isValid()) return;
  scrollTo(index);
  // Scrolled to show a deep folder whole, the view would cut the names of
  // all the folders above it ("b" for bin): the rows stay at the left edge,
  // and the user scrolls sideways to read deeper.
  horizontalScrollBar()->setValue(0);
}

void TZuShellTreeView::showEvent(QShowEvent* e) {
  ui::FocusedItemView<QTreeView>::showEvent(e);
  // Selected while hidden, the folder was scrolled to in a view of no size;
  // once laid out, the view shows it again.
  QTimer::singleShot(0, this, [this] { ShowSelected(); });
}

void TZuShellTreeView::CurrentChanged(const QModelIndex& current) {
  if (following_) return;
  TShellFolderNode* node = model_->NodeOf(current);
  if (node == nullptr || tree_->Select(node)) return;
  // Refused (a button is held): the view goes back to the tree's selection.
  FollowTree(model_->IndexOf(tree_->Selected()));
}

QItemSelectionModel::SelectionFlags TZuShellTreeView::selectionCommand(const QModelIndex& index,
                                                                       const QEvent* event) const {
  if (!following_ && tree_->SelectionHeld()) return QItemSelectionModel::NoUpdate;
  return QTreeView::selectionCommand(index, event);
}

void TZuShellTreeView::mousePressEvent(QMouseEvent* e) {
  const QModelIndex index = indexAt(e->position().toPoint());
  TShellFolderNode* node = model_->NodeOf(index);
  // The item's own rectangle (icon and label), not the expand button left
  // of it.
  const bool onItem = node != nullptr && visualRect(index).contains(e->position().toPoint());
  basePressed_ = false;
  pressed_ = QPersistentModelIndex();
  const QPoint p = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    tree_->LeftButtonDown(node, onItem, p.x(), p.y());
    if (onItem) pressed_ = index;
    if (onItem) {
      setFocus(Qt::MouseFocusReason);
      return;  // selected on release
    }
  } else if (e->button() == Qt::RightButton) {
    tree_->RightButtonDown(onItem ? node : nullptr, p.x(), p.y());
    setFocus(Qt::MouseFocusReason);
    return;
  }
  basePressed_ = true;
  QTreeView::mousePressEvent(e);
}

void TZuShellTreeView::mouseReleaseEvent(QMouseEvent* e) {
  const QModelIndex index = indexAt(e->position().toPoint());
  if (e->button() == Qt::LeftButton && tree_->Checkboxes() && index.isValid() && index == pressed_) {
    // A click on the folder's box checks it (the delegate knows where the
    // box is).
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    itemDelegateForIndex(index)->editorEvent(e, model_, option, index);
  }
  pressed_ = QPersistentModelIndex();
  if (e->button() == Qt::LeftButton)
    tree_->LeftButtonUp();
  else if (e->button() == Qt::RightButton)
    tree_->RightButtonUp();
  if (basePressed_) QTreeView::mouseReleaseEvent(e);
  basePressed_ = false;
}

void TZuShellTreeView::mouseMoveEvent(QMouseEvent* e) {
  if (basePressed_ || e->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(e);
  const QPoint p = e->position().toPoint();
  const Qt::MouseButtons held = QApplication::mouseButtons() | e->buttons();
  if (auto start = tree_->BeginDrag(p.x(), p.y(), held & Qt::LeftButton, held & Qt::RightButton)) {
    RunShellDrag(this, *start);
    tree_->EndDrag();
  }
}

bool TZuShellTreeView::DoContextPopup(QPoint pos) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(pos, handled);
  return handled;
}

bool TZuShellTreeView::DoCustomDraw(QPainter& painter, const QRect& rect) {
  bool defaultDraw = true;
  if (OnCustomDraw) OnCustomDraw(painter, rect, defaultDraw);
  return defaultDraw;
}

bool TZuShellTreeView::DoCustomDrawItem(TShellFolderNode* node, QPainter& painter,
                                        const QStyleOptionViewItem& option) {
  bool defaultDraw = true;
  if (OnCustomDrawItem) OnCustomDrawItem(node, painter, option, defaultDraw);
  return defaultDraw;
}

void TZuShellTreeView::paintEvent(QPaintEvent* e) {
  bool defaultDraw = true;
  {
    QPainter p(viewport());
    defaultDraw = DoCustomDraw(p, e->rect());
  }
  if (defaultDraw) QTreeView::paintEvent(e);
}

void TZuShellTreeView::contextMenuEvent(QContextMenuEvent* e) {
  if (DoContextPopup(e->pos())) {
    e->accept();
    return;
  }
  if (e->reason() == QContextMenuEvent::Keyboard && tree_->ShellPopupMenu() != nullptr) {
    // The menu key acts on the selected folder as a right press would.
    const QRect r = visualRect(model_->IndexOf(tree_->Selected()));
    tree_->RightButtonDown(tree_->Selected(), r.center().x(), r.center().y());
    const bool shown = tree_->ContextPopup({e->globalPos().x(), e->globalPos().y()});
    tree_->RightButtonUp();  // no button is really held
    if (shown) {
      e->accept();
      return;
    }
  } else if (tree_->ContextPopup({e->globalPos().x(), e->globalPos().y()})) {
    e->accept();
    return;
  }
  QTreeView::contextMenuEvent(e);
}

void TZuShellTreeView::dragEnterEvent(QDragEnterEvent* e) {
  const ShellDataObject data = ShellDataOf(e->mimeData());
  std::uint32_t effect = EffectsOf(e->possibleActions());
  const QPoint screen = viewport()->mapToGlobal(e->position().toPoint());
  tree_->DragEnter(&data, KeyStateOf(e->buttons(), e->modifiers()), {screen.x(), screen.y()}, effect);
  if (tree_->DropSite().CurrentDragObject() != nullptr) e->acceptProposedAction();
  else e->ignore();
}

void TZuShellTreeView::dragMoveEvent(QDragMoveEvent* e) {
  const QPoint p = e->position().toPoint();
  const QPoint screen = viewport()->mapToGlobal(p);
  std::uint32_t effect = EffectsOf(e->possibleActions());
  tree_->DragOver(model_->NodeOf(indexAt(p)), {p.x(), p.y()}, KeyStateOf(e->buttons(), e->modifiers()),
                  {screen.x(), screen.y()}, effect);
  const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const TAutoScroll step = AutoScrollStep(p.x(), p.y(), viewport()->width(), viewport()->height(),
                                          fontMetrics().height(), verticalScrollBar()->maximum() > 0 ? thumb : 0,
                                          horizontalScrollBar()->maximum() > 0 ? thumb : 0);
  if (step.dy != 0)
    verticalScrollBar()->triggerAction(step.dy < 0 ? QAbstractSlider::SliderSingleStepSub
                                                   : QAbstractSlider::SliderSingleStepAdd);
  if (step.dx != 0)
    horizontalScrollBar()->triggerAction(step.dx < 0 ? QAbstractSlider::SliderSingleStepSub
                                                     : QAbstractSlider::SliderSingleStepAdd);
  if (effect == DROPEFFECT_NONE) {
    e->ignore();
    return;
  }
  e->setDropAction(DropActionOf(effect));
  e->accept();
}

void TZuShellTreeView::dragLeaveEvent(QDragLeaveEvent*) { tree_->DragLeave(); }

void TZuShellTreeView::dropEvent(QDropEvent* e) {
  const ShellDataObject data = ShellDataOf(e->mimeData());
  const QPoint p = e->position().toPoint();
  const QPoint screen = viewport()->mapToGlobal(p);
  std::uint32_t effect = EffectsOf(e->possibleActions());
  tree_->Drop(&data, KeyStateOf(e->buttons(), e->modifiers()), {p.x(), p.y()}, {screen.x(), screen.y()}, effect);
  e->setDropAction(DropActionOf(effect));
  e->accept();
}

bool TZuShellTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  // Only what would open the name's editor asks the tree; Space still
  // reaches the check box.
  const bool opensEditor = trigger == AllEditTriggers || (editTriggers() & trigger) != 0;
  if (opensEditor && !tree_->CanEdit(model_->NodeOf(index))) return false;
  return QTreeView::edit(index, trigger, event);
}

void TZuShellTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Tab commits the name as Enter does; the selection stays on the folder.
  if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
    hint = QAbstractItemDelegate::NoHint;
  QTreeView::closeEditor(editor, hint);
}

void TZuShellTreeView::changeEvent(QEvent* e) {
  QTreeView::changeEvent(e);
  if (e->type() == QEvent::StyleChange || e->type() == QEvent::ThemeChange) tree_->ResetIcons();
}

}  // namespace tavo
