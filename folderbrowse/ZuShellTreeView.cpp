#include "folderbrowse/ZuShellTreeView.h"

#include <QEvent>
#include <QMouseEvent>

#include "folderbrowse/ZuShellTreeModel.h"

namespace tavo {

TZuShellTreeView::TZuShellTreeView(QWidget* parent, TShDirWatcherTiming timing)
    : QTreeView(parent), tree_(std::make_unique<TShellFolderTree>(timing)) {
  model_ = new TShellTreeModel(*tree_, this);
  setModel(model_);
  setHeaderHidden(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  setIndentation(19);
  setUniformRowHeights(true);
  setAccessibleName(QStringLiteral("フォルダ"));

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
    if (!following_) tree_->Collapse(model_->NodeOf(index));
  });
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { CurrentChanged(current); });
  tree_->OnChange = [this] {
    if (OnChange) OnChange();
  };
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
  if (index.isValid()) scrollTo(index);
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
  if (!following_ && !tree_->CanChange()) return QItemSelectionModel::NoUpdate;
  return QTreeView::selectionCommand(index, event);
}

void TZuShellTreeView::mousePressEvent(QMouseEvent* e) {
  const QModelIndex index = indexAt(e->position().toPoint());
  TShellFolderNode* node = model_->NodeOf(index);
  // The item's own rectangle (icon and label), not the expand button left
  // of it.
  const bool onItem = node != nullptr && visualRect(index).contains(e->position().toPoint());
  basePressed_ = false;
  if (e->button() == Qt::LeftButton) {
    tree_->LeftButtonDown(node, onItem);
    if (onItem) {
      setFocus(Qt::MouseFocusReason);
      return;  // selected on release
    }
  } else if (e->button() == Qt::RightButton) {
    tree_->RightButtonDown(onItem ? node : nullptr);
    setFocus(Qt::MouseFocusReason);
    return;
  }
  basePressed_ = true;
  QTreeView::mousePressEvent(e);
}

void TZuShellTreeView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    tree_->LeftButtonUp();
  else if (e->button() == Qt::RightButton)
    tree_->RightButtonUp();
  if (basePressed_) QTreeView::mouseReleaseEvent(e);
  basePressed_ = false;
}

void TZuShellTreeView::mouseMoveEvent(QMouseEvent* e) {
  if (basePressed_ || e->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(e);
}

bool TZuShellTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (trigger != QAbstractItemView::AllEditTriggers && !tree_->CanEdit(model_->NodeOf(index))) return false;
  return QTreeView::edit(index, trigger, event);
}

void TZuShellTreeView::changeEvent(QEvent* e) {
  QTreeView::changeEvent(e);
  if (e->type() == QEvent::StyleChange || e->type() == QEvent::ThemeChange) tree_->ResetIcons();
}

}  // namespace tavo
