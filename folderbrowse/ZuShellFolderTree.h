// The folder tree of the shell namespace, without a window: the nodes from
// the desktop down, their lazy filling and merge refresh, the selection and
// what follows it, renaming, the press states of the mouse, the check
// boxes, the folder watcher and the drive reports. TZuShellTreeView
// (ZuShellTreeView.h) shows it through a Qt model; tests drive it directly.
//
// Ownership: the tree owns its nodes, each node its TShellFolderItem, each
// item its lists. Linked partners (a file list, a path combo, a popup menu)
// are not owned; a partner unlinks itself before it goes. The observer
// (the model) is told of every change of the nodes before and after it
// happens. Each event is fired by one overridable Do... step, which does
// nothing when the event is unassigned and hands it its var flags true.
// UI thread only; the watcher reports arrive on the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellCtrlList.h"
#include "folderbrowse/ZuShellCtrls.h"
#include "folderbrowse/ZuShellDragDrop.h"
#include "folderbrowse/ZuShellNotify.h"
#include "platform/shell/UniquePIDL.h"

namespace tavo {

class TShellFolderNode;
class TShellFolderTree;

// A folder of the tree: the item behind one node.
class TShellFolderItem final : public TShellDataItem {
 public:
  // Takes both lists over. `node` may be null (an item not yet in the tree).
  TShellFolderItem(TShellFolderNode* node, PItemIDList absolute, PItemIDList relative);

  int Index() const override;
  int Level() override { return level_; }
  PCItemIDList ParentPIDL() override;
  PCItemIDList AbsolutePIDL() override { return absolutePIDL_; }
  bool IsValid() const override { return absolutePIDL_ != nullptr && relativePIDL_ != nullptr; }

  TShellFolderNode* Node() const { return node_; }
  void SetNode(TShellFolderNode* node) { node_ = node; }
  // The relative list as a span, for comparisons that need no allocator look-up.
  IDListSpan RelativeSpan() const { return {relativePIDL_, relativeSize_}; }

  // After a rename: the new relative list (taken over) and the absolute
  // list made from it; the name and icon caches start again.
  void ReplaceRelative(PItemIDList relative);

 private:
  TShellFolderNode* node_;
  int level_;
  std::size_t relativeSize_;
};

// One node: a folder, its text and marks, and its children once built.
class TShellFolderNode {
 public:
  TShellFolderNode(TShellFolderNode* parent, std::unique_ptr<TShellFolderItem> item);

  TShellFolderItem* Item() const { return item_.get(); }
  TShellFolderNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TShellFolderNode* Child(int i) const { return children_[static_cast<std::size_t>(i)].get(); }
  // This node's row among its parent's children; 0 for the root.
  int Row() const;
  // The node exists, has an item, and the item is usable.
  bool Valid() const { return item_ != nullptr && item_->IsValid(); }
  int Level() const { return item_ != nullptr ? item_->Level() : -1; }
  bool IsAtOrBelow(const TShellFolderNode* ancestor) const;

  std::string Text;         // CP932
  bool HasChildren = false;  // shows an expand mark
  bool Cut = false;          // shown as cut (its folder was cut to the clipboard)
  bool Expanded = false;
  bool Checked = false;  // its check box, while the tree shows them
  int OverlayIndex = -1;
  // The icons the view draws (system image list), set each time it asks
  // (TShellFolderTree::GetImageIndex); -1 for none.
  int ImageIndex = -1;
  int SelectedIndex = -1;

 private:
  friend class TShellFolderTree;
  TShellFolderNode* parent_;
  std::unique_ptr<TShellFolderItem> item_;
  std::vector<std::unique_ptr<TShellFolderNode>> children_;
};

// What the tree needs of a linked file list.
class TShellListLink {
 public:
  virtual void SetTreeLink(TShellFolderTree* tree) = 0;  // null: unlinked
  virtual void SetShVirtuaItems(TShVirtuaItems items) = 0;
  virtual void SetIncludeHidden(bool include) = 0;
  virtual void StoreIncludeHidden(bool include) = 0;  // without its writer
  virtual void BrowseTo(PCItemIDList folder) = 0;      // unless it shows it already
  virtual void Browse(PCItemIDList folder) = 0;        // fills again in any case
  virtual void PauseWatchers() = 0;
  virtual void ResumeWatchers() = 0;

 protected:
  ~TShellListLink() = default;
};

// What the tree needs of a linked path combo.
class TShellComboLink {
 public:
  virtual void SetTreeLink(TShellFolderTree* tree) = 0;
  virtual void StoreShVirtuaItems(TShVirtuaItems items) = 0;
  virtual void StoreIncludeHidden(bool include) = 0;
  virtual void RebuildItems() = 0;
  virtual void SelectComboPIDL(PCItemIDList folder) = 0;
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  // A volume's row (found by its list; not the desktop's) starts its name
  // and icon caches again with `caption`.
  virtual void UpdateDriveRow(PCItemIDList drive, const std::string& caption) = 0;

 protected:
  ~TShellComboLink() = default;
};

// What the tree and the list need of a linked context-menu popup.
class TShellPopupLink {
 public:
  virtual void SetAutoPopup(bool on) = 0;
  // Shows the shell menu of the objects at a screen point; the code of
  // what was done (TShellPopupMenu, ZuShellPopupMenu.h).
  virtual int Popup(const TShellIDList* list, DropPoint pt) = 0;

 protected:
  ~TShellPopupLink() = default;
};

// Told of every change of the nodes, before and after.
class TShellFolderTreeObserver {
 public:
  virtual void BeginReset() {}
  virtual void EndReset() {}
  virtual void BeginInsert(TShellFolderNode* /*parent*/, int /*row*/) {}
  virtual void EndInsert() {}
  virtual void BeginRemove(TShellFolderNode* /*parent*/, int /*first*/, int /*last*/) {}
  virtual void EndRemove() {}
  virtual void BeginMove(TShellFolderNode* /*parent*/, int /*from*/, int /*to*/) {}
  virtual void EndMove() {}
  // Text, marks or icons of the node changed.
  virtual void NodeChanged(TShellFolderNode* /*node*/) {}
  // The tree expanded or collapsed the node itself.
  virtual void ExpansionChanged(TShellFolderNode* /*node*/) {}
  // The selection moved to the node.
  virtual void SelectionMoved(TShellFolderNode* /*node*/) {}
  // The check boxes came or went (every node's check state changed).
  virtual void CheckboxesChanged() {}

 protected:
  ~TShellFolderTreeObserver() = default;
};

// Press states of the mouse (DragState).
enum TShellDragState : std::uint8_t {
  dsIdle = 0,
  dsLeftPressed = 1,   // left button down on a node
  dsRightPressed = 2,  // right button down on a node
  dsDragging = 3,
};

class TShellFolderTree : public TShellTreeDeviceReceiver {
 public:
  // Starts the folder watcher and registers for drive reports. `timing`
  // lets tests run the watcher's quiet periods short.
  explicit TShellFolderTree(TShDirWatcherTiming timing = {});
  virtual ~TShellFolderTree();
  TShellFolderTree(const TShellFolderTree&) = delete;
  TShellFolderTree& operator=(const TShellFolderTree&) = delete;

  void SetObserver(TShellFolderTreeObserver* observer) { observer_ = observer; }

  // --- Events ------------------------------------------------------------
  // Runs after every selection change, once the partners have followed.
  std::function<void()> OnChange;
  // The selection is about to move to `node`; false keeps it where it is.
  std::function<void(TShellFolderNode* node, bool& allowChange)> OnChanging;
  // The node is about to open (it has just been refreshed); false keeps it
  // closed.
  std::function<void(TShellFolderNode* node, bool& allowExpansion)> OnExpanding;
  std::function<void(TShellFolderNode* node)> OnExpanded;
  std::function<void(TShellFolderNode* node, bool& allowCollapse)> OnCollapsing;
  std::function<void(TShellFolderNode* node)> OnCollapsed;
  // The node's name is about to be edited; false refuses.
  std::function<void(TShellFolderNode* node, bool& allowEdit)> OnEditing;
  // A name was typed for the node (CP932), before the folder is renamed to
  // it; the handler may change it.
  std::function<void(TShellFolderNode* node, std::string& text)> OnEdited;
  // The node is being deleted; its item is already gone (Item() is null).
  std::function<void(TShellFolderNode* node)> OnDeletion;
  // The view asks for the node's icons: ImageIndex (SelectedIndex) holds
  // the folder's own, and the handler may change it.
  std::function<void(TShellFolderNode* node)> OnGetImageIndex;
  std::function<void(TShellFolderNode* node)> OnGetSelectedIndex;

  // --- Properties --------------------------------------------------------
  bool IncludeHidden() const { return includeHidden_; }
  void SetIncludeHidden(bool include);
  TShVirtuaItems ShVirtuaItems() const { return virtuaItems_; }
  void SetShVirtuaItems(TShVirtuaItems items);
  TShellListLink* ShellListView() const { return list_; }
  void SetShellListView(TShellListLink* list);
  TShellComboLink* ShellComboBox() const { return combo_; }
  void SetShellComboBox(TShellComboLink* combo);
  TShellPopupLink* ShellPopupMenu() const { return popup_; }
  void SetShellPopupMenu(TShellPopupLink* popup);
  // Check boxes on the nodes. Switched off, the nodes are built anew
  // (RecreateWindow), and every check goes.
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool on);
  void SetChecked(TShellFolderNode* node, bool checked);

  // --- Nodes --------------------------------------------------------------
  // Builds the desktop's node, expands it and its first child (My
  // Computer) and selects it.
  void BuildRoot();
  // Deletes every node, keeping the selected folder for the next BuildRoot;
  // until then the selection does not move and the watcher rests.
  void Clear();
  // Clear, then BuildRoot: the nodes are built anew and the selected folder
  // is selected again (its ancestors open).
  void RecreateWindow();
  TShellFolderNode* Root() const { return root_.get(); }
  TShellFolderNode* Selected() const { return selected_; }

  // Expands a node after refreshing it; a node left without children loses
  // its expand mark and stays collapsed (false), as does one that
  // OnExpanding keeps closed.
  bool Expand(TShellFolderNode* node);
  // False when OnCollapsing keeps the node open.
  bool Collapse(TShellFolderNode* node);
  // Merges the folder's present subfolders into the node's children:
  // nodes that still exist stay, with their children and expansion.
  void RefreshNode(TShellFolderNode* node);
  // Refreshes every visible node that is expanded or has children, and
  // re-reads the marks of the other visible nodes.
  void RefreshAll();

  // --- Selection ----------------------------------------------------------
  // Moves the selection unless a pressed mouse button holds it or
  // OnChanging refuses; runs the change notification. False when refused.
  bool Select(TShellFolderNode* node);
  // A pressed mouse button, or the nodes being built anew, hold the
  // selection where it is.
  bool SelectionHeld() const { return dragState_ == dsLeftPressed || dragState_ == dsRightPressed || rebuilding_; }
  // The selection may move to `node` (asks OnChanging).
  bool CanChange(TShellFolderNode* node);
  // The node of an absolute list, expanding and refreshing on the way; the
  // root when the walk does not reach the whole list. Always ends.
  TShellFolderNode* FindNodeByPIDL(PCItemIDList absolute);
  // Selects the node of the list; a list without a node of its own leaves
  // the selection where it is.
  void SelectPIDL(PCItemIDList absolute);
  // The same for a path (CP932); a path that does not parse changes nothing.
  void SetSelectedPath(const std::string& path);
  // The selected folder's path; empty when it has none.
  std::string GetSelectedPath() const;
  // The selected node's list, else the root's, else null (borrowed).
  PCItemIDList SelectedPIDL() const;

  // --- Renaming -----------------------------------------------------------
  // The node's name may be edited (asks OnEditing).
  bool CanEdit(TShellFolderNode* node);
  // A name was typed for the node (CP932): OnEdited, then the folder is
  // renamed; the node's text shows the name it has afterwards, the old one
  // when renaming failed. True on success.
  bool RenameNode(TShellFolderNode* node, const std::string& name);

  // --- Icons --------------------------------------------------------------
  // The indexes of the node's closed and open icons (OnGetImageIndex and
  // OnGetSelectedIndex may change them); -1 for none.
  int GetImageIndex(TShellFolderNode* node);
  int GetSelectedIndex(TShellFolderNode* node);
  // The system's icons changed: every item asks for its icons again.
  void ResetIcons();

  // --- Mouse press states ------------------------------------------------------
  TShellDragState DragState() const { return dragState_; }
  TShellFolderNode* DropHiliteNode() const { return dropHilite_; }
  // `onItem`: on the node's icon or label (not just its row); x, y: the
  // client point of the press.
  void LeftButtonDown(TShellFolderNode* node, bool onItem, int x = 0, int y = 0);
  void LeftButtonUp();
  void RightButtonDown(TShellFolderNode* node, int x = 0, int y = 0);
  void RightButtonUp();

  // --- Context menu -----------------------------------------------------------------
  // The context menu was asked for at a screen point after a right press
  // on a node: the linked popup shows the node's shell menu and the tree
  // follows what it did. False when no popup is linked or no node was
  // pressed (the caller's own menu handling goes on).
  bool ContextPopup(DropPoint screen);
  // Rename was chosen: the view starts editing the node's name.
  std::function<void(TShellFolderNode* node)> OnEditNode;

  // --- Drag and drop (ZuShellTreeDrag.cpp) ------------------------------------
  // A drag out of the tree may start (canDrag comes in true).
  std::function<void(TShellFolderNode* node, DropPoint start, int x, int y, bool& canDrag)> OnShBeginDrag;
  // After each hover passed on to a folder (client point).
  std::function<void(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y)> OnShDragOver;
  // A drop arrives on `node` (defaultAction comes in true; false cancels it).
  std::function<void(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y,
                     bool& defaultAction)>
      OnShDragDrop;
  // The drop-target state; its OnShDragEnter and OnShDragLeave are the tree's.
  TShellDropSite& DropSite() { return dropSite_; }
  int HoverCount() const { return hoverCount_; }

  // The mouse moved to the client point (x, y) while the pressing button
  // may still be down: the data and effects of a drag of the pressed node,
  // when one starts (DragState is then dsDragging until EndDrag).
  std::optional<TShellDragStart> BeginDrag(int x, int y, bool leftDown, bool rightDown);
  void EndDrag();
  // The drop-target calls. `node` is the node under the client point (null
  // for none); points for the shell targets are screen points.
  HRESULT DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint screen, std::uint32_t& effect);
  HRESULT DragOver(TShellFolderNode* node, DropPoint client, std::uint32_t keyState, DropPoint screen,
                   std::uint32_t& effect);
  HRESULT DragLeave();
  HRESULT Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint client, DropPoint screen,
               std::uint32_t& effect);

  // --- Watcher and drives ---------------------------------------------------------
  // Fills `drives` with the mount points of the fixed volumes (CP932, each
  // ending in '/'), sorted; the tree gathers them once, when it is made.
  static void GetFixedDrives(std::vector<std::string>& drives);
  const std::vector<std::string>& FixedDrives() const { return fixedDrives_; }
  // The folders watched now: those of the visible expanded nodes that lie
  // on the fixed drives or on removable volumes, each without its sub-tree
  // (a whole volume's sub-tree would take more watches than a user has).
  // Network volumes are not watched; their nodes refresh when they open and
  // when the volume comes or goes.
  std::vector<std::string> WatchedFolders() const;
  TShDirWatcher* Watcher() const { return watcher_; }
  void PauseWatcher();
  void ResumeWatcher();
  // A watched folder changed: the tree refreshes, or, while a drag is over
  // it or runs from it, once the drag has ended (a drop that copies for
  // long outlasts the watcher's quiet period).
  void DirChanged();
  void DeviceChanged(TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data) override;

 protected:
  TShDirWatcher* DeviceWatcher() const override { return watcher_; }

  // The steps that fire the events (see Events above).
  virtual void DoChange();
  virtual bool DoChanging(TShellFolderNode* node);
  virtual bool DoExpanding(TShellFolderNode* node);
  virtual void DoExpanded(TShellFolderNode* node);
  virtual bool DoCollapsing(TShellFolderNode* node);
  virtual void DoCollapsed(TShellFolderNode* node);
  virtual bool DoEditing(TShellFolderNode* node);
  virtual void DoEdited(TShellFolderNode* node, std::string& text);
  virtual void DoDeletion(TShellFolderNode* node);
  virtual void DoGetImageIndex(TShellFolderNode* node);
  virtual void DoGetSelectedIndex(TShellFolderNode* node);
  virtual bool DoShBeginDrag(TShellFolderNode* node, DropPoint start, int x, int y);
  virtual void DoShDragOver(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y);
  virtual bool DoShDragDrop(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y);

 private:
  std::unique_ptr<TShellFolderItem> MakeItem(TShellFolderNode* parent, PItemIDList relative);
  std::vector<std::unique_ptr<TShellFolderItem>> EnumFolders(const ShellFolderPtr& folder, TShellFolderItem& parent);
  bool Keep(TShellFolderItem& parent, TShellFolderItem& child);
  void AttachNode(TShellFolderNode* node);
  TShellFolderNode* InsertNode(TShellFolderNode* parent, int row, std::unique_ptr<TShellFolderItem> item);
  void DeleteChildren(TShellFolderNode* parent, int first, int last);
  // Frees the nodes taken out of the tree, each after its OnDeletion
  // (children first).
  void ReleaseNodes(std::vector<std::unique_ptr<TShellFolderNode>> nodes);
  // Moves the selection; `force` for a move the tree must make (the
  // selected node went, the nodes were built anew), which nothing refuses.
  bool MoveSelection(TShellFolderNode* node, bool force);
  // The node of exactly that list; null when the walk does not reach it.
  TShellFolderNode* NodeOfPIDL(PCItemIDList absolute);
  void SetExpanded(TShellFolderNode* node, bool expanded);
  void RefreshVisible(TShellFolderNode* node);
  void SetDropHilite(TShellFolderNode* node);
  void Change();
  void Forget(TShellFolderNode* node);
  TShellFolderNode* BuiltNodeOf(PCItemIDList absolute) const;
  TShellFolderNode* ChildOfType(TShItemIDType type) const;
  void UpdateWatchedFolders();
  void WatcherTerminated();

  TShellFolderTreeObserver* observer_ = nullptr;
  TShellListLink* list_ = nullptr;
  TShellComboLink* combo_ = nullptr;
  TShellPopupLink* popup_ = nullptr;
  bool includeHidden_ = true;
  bool checkboxes_ = false;
  TShVirtuaItems virtuaItems_ = kDefaultShVirtuaItems;
  std::vector<std::string> fixedDrives_;
  std::unique_ptr<TShellFolderNode> root_;
  TShellFolderNode* selected_ = nullptr;
  TShellFolderNode* dropHilite_ = nullptr;
  TShellDragState dragState_ = dsIdle;
  bool dirChangedInDrag_ = false;
  void DragEnded();
  int dragStartX_ = 0, dragStartY_ = 0;
  int hoverCount_ = 0;
  TShellDropSite dropSite_;
  TShellIDList2 popupSelection_;  // copies: the node may go while the menu is open
  TShellFolderNode* cutNode_ = nullptr;
  bool rebuilding_ = false;
  bool selectionLost_ = false;  // a refresh deleted the selected node
  UniquePIDL savedSelection_;
  TShDirWatcher* watcher_ = nullptr;  // frees itself
  bool watcherPaused_ = false;
};

}  // namespace tavo
