// The Qt model of a folder tree (ZuShellFolderTree.h): one column, the
// desktop as its only top-level row. Rows come and go as the tree tells
// (its observer), so views keep their indexes across refreshes. The tree's
// own expansions and selection moves are passed on as signals for the
// view. UI thread only; the tree must outlive the model.
#pragma once

#include <QAbstractItemModel>

#include "folderbrowse/ZuShellFolderTree.h"

namespace tavo {

class TShellTreeModel final : public QAbstractItemModel, private TShellFolderTreeObserver {
  Q_OBJECT
 public:
  explicit TShellTreeModel(TShellFolderTree& tree, QObject* parent = nullptr);
  ~TShellTreeModel() override;

  // Drop-highlighted rows answer this role with true.
  static constexpr int DropHiliteRole = Qt::UserRole + 1;

  QModelIndex IndexOf(const TShellFolderNode* node) const;
  TShellFolderNode* NodeOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 signals:
  void expansionChanged(const QModelIndex& index, bool expanded);
  void selectionMoved(const QModelIndex& index);

 private:
  void BeginReset() override;
  void EndReset() override;
  void BeginInsert(TShellFolderNode* parent, int row) override;
  void EndInsert() override;
  void BeginRemove(TShellFolderNode* parent, int first, int last) override;
  void EndRemove() override;
  void BeginMove(TShellFolderNode* parent, int from, int to) override;
  void EndMove() override;
  void NodeChanged(TShellFolderNode* node) override;
  void ExpansionChanged(TShellFolderNode* node) override;
  void SelectionMoved(TShellFolderNode* node) override;
  void CheckboxesChanged() override;

  TShellFolderTree& tree_;
};

}  // namespace tavo
