#include "folderbrowse/ZuShellTreeModel.h"

#include <QApplication>
#include <QPalette>

#include <cerrno>
#include <vector>

#include "folderbrowse/ZuShellItemModel.h"
#include "platform/shell/ShellQuestions.h"
#include "platform/text/QtText.h"

namespace tavo {

TShellTreeModel::TShellTreeModel(TShellFolderTree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree) {
  tree_.SetObserver(this);
}

TShellTreeModel::~TShellTreeModel() { tree_.SetObserver(nullptr); }

QModelIndex TShellTreeModel::IndexOf(const TShellFolderNode* node) const {
  if (node == nullptr) return {};
  return createIndex(node->Row(), 0, const_cast<TShellFolderNode*>(node));
}

TShellFolderNode* TShellTreeModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TShellFolderNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TShellTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) return row == 0 && tree_.Root() != nullptr ? IndexOf(tree_.Root()) : QModelIndex();
  TShellFolderNode* p = NodeOf(parent);
  return row < p->Count() ? createIndex(row, 0, p->Child(row)) : QModelIndex();
}

QModelIndex TShellTreeModel::parent(const QModelIndex& index) const {
  TShellFolderNode* node = NodeOf(index);
  return node != nullptr ? IndexOf(node->Parent()) : QModelIndex();
}

int TShellTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return tree_.Root() != nullptr ? 1 : 0;
  return parent.column() == 0 ? NodeOf(parent)->Count() : 0;
}

int TShellTreeModel::columnCount(const QModelIndex&) const { return 1; }

bool TShellTreeModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return tree_.Root() != nullptr;
  const TShellFolderNode* node = NodeOf(parent);
  return node->Count() > 0 || node->HasChildren;
}

QVariant TShellTreeModel::data(const QModelIndex& index, int role) const {
  TShellFolderNode* node = NodeOf(index);
  if (node == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return FromCp932Path(node->Text);
    case Qt::AccessibleTextRole:
      // A screen reader hears that a folder cannot be read with its name.
      if (node->OverlayIndex == kOverlayUnreadable - 1)
        return QStringLiteral("%1（%2）").arg(FromCp932Path(node->Text), OverlayWords(node->OverlayIndex));
      return FromCp932Path(node->Text);
    case Qt::ToolTipRole: {
      const QString words = OverlayWords(node->OverlayIndex);
      return words.isEmpty() ? QVariant() : QVariant(words);
    }
    case Qt::DecorationRole: {
      // Asked on every paint, as the tree's handlers may answer otherwise.
      const int image = tree_.GetImageIndex(node);
      if (image < 0) return {};
      const int selected = tree_.GetSelectedIndex(node);
      return ShellItemIcon(image, selected < 0 ? image : selected, node->OverlayIndex);
    }
    case Qt::CheckStateRole:
      if (!tree_.Checkboxes()) return {};
      return node->Checked ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole:
      if (node == tree_.DropHiliteNode()) return QApplication::palette().highlight().color().lighter(150);
      return {};
    case Qt::ForegroundRole:
      // A folder cut to the clipboard is shown faded until it is pasted.
      if (node->Cut) return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
      return {};
    case DropHiliteRole:
      return node == tree_.DropHiliteNode();
    default:
      return {};
  }
}

bool TShellTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  TShellFolderNode* node = NodeOf(index);
  if (node != nullptr && role == Qt::CheckStateRole && tree_.Checkboxes()) {
    tree_.SetChecked(node, value.toInt() == Qt::Checked);
    return true;
  }
  if (node == nullptr || role != Qt::EditRole) return false;
  const std::optional<std::string> name = ToCp932(value.toString());
  if (!name) {
    // A name with no CP932 form is refused, never altered; the shell tells
    // the other refusals (an empty name among them).
    if (const auto& tell = GetShellQuestions().ReportRenameRefused) tell({}, EILSEQ);
    return false;
  }
  return tree_.RenameNode(node, *name);
}

Qt::ItemFlags TShellTreeModel::flags(const QModelIndex& index) const {
  TShellFolderNode* node = NodeOf(index);
  if (node == nullptr) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (node->Valid() && node->Level() != 0 && node->Item()->HasAttribute(3)) f |= Qt::ItemIsEditable;
  if (tree_.Checkboxes()) f |= Qt::ItemIsUserCheckable;
  return f;
}

void TShellTreeModel::BeginReset() { beginResetModel(); }
void TShellTreeModel::EndReset() { endResetModel(); }
void TShellTreeModel::BeginInsert(TShellFolderNode* parent, int row) { beginInsertRows(IndexOf(parent), row, row); }
void TShellTreeModel::EndInsert() { endInsertRows(); }
void TShellTreeModel::BeginRemove(TShellFolderNode* parent, int first, int last) {
  beginRemoveRows(IndexOf(parent), first, last);
}
void TShellTreeModel::EndRemove() { endRemoveRows(); }
void TShellTreeModel::BeginMove(TShellFolderNode* parent, int from, int to) {
  const QModelIndex p = IndexOf(parent);
  beginMoveRows(p, from, from, p, to > from ? to + 1 : to);
}
void TShellTreeModel::EndMove() { endMoveRows(); }

void TShellTreeModel::NodeChanged(TShellFolderNode* node) {
  const QModelIndex i = IndexOf(node);
  emit dataChanged(i, i);
}

void TShellTreeModel::ExpansionChanged(TShellFolderNode* node) { emit expansionChanged(IndexOf(node), node->Expanded); }

void TShellTreeModel::SelectionMoved(TShellFolderNode* node) { emit selectionMoved(IndexOf(node)); }

void TShellTreeModel::CheckboxesChanged() {
  // Every built node shows or hides its box.
  std::vector<const TShellFolderNode*> parents;
  if (tree_.Root() != nullptr) {
    const QModelIndex root = IndexOf(tree_.Root());
    emit dataChanged(root, root, {Qt::CheckStateRole});
    parents.push_back(tree_.Root());
  }
  while (!parents.empty()) {
    const TShellFolderNode* p = parents.back();
    parents.pop_back();
    if (p->Count() == 0) continue;
    emit dataChanged(IndexOf(p->Child(0)), IndexOf(p->Child(p->Count() - 1)), {Qt::CheckStateRole});
    for (int i = 0; i < p->Count(); ++i) parents.push_back(p->Child(i));
  }
}

}  // namespace tavo
