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
//
// With the tree's check boxes on (Tree().SetCheckboxes), Space or a click
// on a folder's box checks it. The events of the tree's nodes are
// Tree()'s; those of the painting and the context menu are the view's,
// each fired by its overridable Do... step.
#pragma once

#include <QStyleOptionViewItem>
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
  // The context menu is asked for at `pos` (the viewport's); handled =
  // true shows none.
  std::function<void(QPoint pos, bool& handled)> OnContextPopup;
  // Before the folders are painted (`rect`: the part to paint); defaultDraw
  // = false leaves the painting to the handler.
  std::function<void(QPainter& painter, const QRect& rect, bool& defaultDraw)> OnCustomDraw;
  // Before a folder's row is painted (`option`: its rectangle and state);
  // defaultDraw = false leaves the row to the handler.
  std::function<void(TShellFolderNode* node, QPainter& painter, const QStyleOptionViewItem& option,
                     bool& defaultDraw)>
      OnCustomDrawItem;

  void SetSelectedPath(const std::string& path) { tree_->SetSelectedPath(path); }
  std::string GetSelectedPath() const { return tree_->GetSelectedPath(); }
  void SelectPIDL(PCItemIDList absolute) { tree_->SelectPIDL(absolute); }
  PCItemIDList SelectedPIDL() const { return tree_->SelectedPIDL(); }

 protected:
  // The steps that fire the view's events; each answers its var flag.
  virtual bool DoContextPopup(QPoint pos);
  virtual bool DoCustomDraw(QPainter& painter, const QRect& rect);
  virtual bool DoCustomDrawItem(TShellFolderNode* node, QPainter& painter, const QStyleOptionViewItem& option);

  void paintEvent(QPaintEvent* e) override;
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
  friend class TShellTreeDelegate;
  void FollowTree(const QModelIndex& index);
  // Scrolls the selected folder into view, the rows' beginnings with it.
  void ShowSelected();
  void CurrentChanged(const QModelIndex& current);

  std::unique_ptr<TShellFolderTree> tree_;
  TShellTreeModel* model_ = nullptr;
  bool following_ = false;     // the view takes over what the tree did
  bool basePressed_ = false;   // the last press went to the default handling
  QPersistentModelIndex pressed_;  // the folder a left press went down on
};

}  // namespace tavo
