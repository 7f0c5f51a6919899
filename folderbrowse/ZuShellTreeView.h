// TZuShellTreeView: the folder tree control, a Qt tree view over the model
// of a TShellFolderTree (ZuShellFolderTree.h), which does the work. Screen
// readers read it as a tree, with each folder's level and expanded state.
//
// The mouse works as the tree expects: a left press on a folder marks it
// and selects it on release; a right press marks it until release; while a
// button is held the selection does not move. The keyboard moves the
// selection and expands and collapses folders; F2 renames the selected
// folder (in the name's editor Enter and Tab commit it, Esc drops it). A
// folder can be dragged out with either button, and a drag dropped on a
// folder copies or moves into it (ZuShellTreeDrag.cpp does the work). UI
// thread only.
#pragma once

#include <QTreeView>

#include <functional>
#include <memory>
#include <string>

#include "folderbrowse/ZuShellFolderTree.h"
#include "platform/ui/FocusedItemView.h"

namespace tavo {

class TShellTreeModel;

class TZuShellTreeView : public ui::FocusedItemView<QTreeView> {
  Q_OBJECT
 public:
  explicit TZuShellTreeView(QWidget* parent = nullptr, TShDirWatcherTiming timing = {});
  ~TZuShellTreeView() override;

  TShellFolderTree& Tree() { return *tree_; }
  TShellTreeModel& Model() { return *model_; }

  // The tree's OnChange: the selection moved.
  std::function<void()> OnChange;

  void SetSelectedPath(const std::string& path) { tree_->SetSelectedPath(path); }
  std::string GetSelectedPath() const { return tree_->GetSelectedPath(); }
  void SelectPIDL(PCItemIDList absolute) { tree_->SelectPIDL(absolute); }
  PCItemIDList SelectedPIDL() const { return tree_->SelectedPIDL(); }

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event = nullptr) const override;
  void changeEvent(QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void FollowTree(const QModelIndex& index);
  // Scrolls the selected folder into view, the rows' beginnings with it.
  void ShowSelected();
  void CurrentChanged(const QModelIndex& current);

  std::unique_ptr<TShellFolderTree> tree_;
  TShellTreeModel* model_ = nullptr;
  bool following_ = false;     // the view takes over what the tree did
  bool basePressed_ = false;   // the last press went to the default handling
};

}  // namespace tavo
