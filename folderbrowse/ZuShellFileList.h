// The file list of one shell folder, without a window: its items, browsing
// and filling, the filter, the report columns and their per-folder layout,
// sorting with the selection and focus carried over, the selection and
// its total, type-ahead, the two files watchers, the details read after
// the names, and the link to a folder tree. TZuShellListView
// (ZuShellListView.h) shows it through a Qt model; tests drive it directly.
//
// Rows are fetched on demand: the list holds no texts, and a view asks an
// item for the columns of the rows it shows. A folder is listed names
// first; the details (sizes, times, read-only) of a large folder are read
// by a worker thread and arrive while the list is shown.
//
// Ownership: the list owns its items and its folder's list; a linked tree
// is not owned (it unlinks itself before it goes). The observer (the
// model) is told of every change. UI thread only; the watchers' and the
// worker's reports arrive on the UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellFileItem.h"
#include "folderbrowse/ZuShellFolderTree.h"
#include "folderbrowse/ZuShellNotify.h"

namespace tavo {

class TShDetailsReader;

// The report columns, by number (also the sort key handed to the folder).
enum TShellListColumn : int { lcName = 0, lcSize = 1, lcType = 2, lcModified = 3, lcAttributes = 4 };
inline constexpr int kReportColumns = 5;

struct TShellColumn {
  int Number;  // TShellListColumn
  std::string Caption;  // CP932
  int Width;
  bool RightAligned;
};

// What a view needs to hear of the list.
class TShellFileListObserver {
 public:
  // The rows (and maybe the columns) are replaced: a new folder, a refill,
  // a sort, items added or removed. Selection and focus are the list's
  // again afterwards.
  virtual void BeginReset() {}
  virtual void EndReset() {}
  // Texts of rows changed (details arrived or were read again).
  virtual void RowsChanged() {}

 protected:
  ~TShellFileListObserver() = default;
};

struct TShellFileListTiming {
  TShFilesWatcherTiming watchers;
  // The details of a folder of more items than this are read by a worker
  // while the names are shown; of a smaller one at once.
  int detailsAtOnce = 2000;
};

class TShellFileList : public TShellListLink {
 public:
  explicit TShellFileList(TShellFileListTiming timing = {});
  ~TShellFileList();
  TShellFileList(const TShellFileList&) = delete;
  TShellFileList& operator=(const TShellFileList&) = delete;

  void SetObserver(TShellFileListObserver* observer) { observer_ = observer; }

  // --- Events (UI thread; unassigned do nothing) ------------------------------
  // Each is fired by one overridable step (Do... below) that supplies its
  // defaults: the flags come in true, and an unassigned event leaves them so.
  // Each enumerated item that the virtual-folder rules keep; false drops it.
  std::function<void(TShellFileItem& item, bool& accept)> OnShFilter;
  // Before an item that is no folder is opened (the column activated and
  // the point, in the view's coordinates); false opens nothing.
  std::function<void(TShellFileItem& item, TShiftState shift, int subItem, int x, int y, bool& defaultAction)>
      OnShExecute;
  // After every fill and after items came or went.
  std::function<void()> OnShListChange;
  // The sum of the sizes of the selected items changed (or may have).
  std::function<void(std::uint64_t selSize)> OnShSelChange;
  // The clipboard changed; `contented`: it holds shell objects.
  std::function<void(bool contented)> OnShClipboard;
  // --- Properties -----------------------------------------------------------------
  bool IncludeHidden() const { return includeHidden_; }
  TShVirtuaItems ShVirtuaItems() const { return virtuaItems_; }
  TShellFolderTree* LinkedTree() const { return tree_; }

  // TShellListLink: what the tree calls.
  void SetTreeLink(TShellFolderTree* tree) override { tree_ = tree; }
  void SetShVirtuaItems(TShVirtuaItems items) override;
  void SetIncludeHidden(bool include) override;
  void StoreIncludeHidden(bool include) override { includeHidden_ = include; }
  // Shows the folder unless it is shown already; a file-system folder
  // becomes the process's current directory.
  void BrowseTo(PCItemIDList folder) override;
  // Shows the folder (a copy of the list) and fills again in any case.
  void Browse(PCItemIDList folder) override;
  void PauseWatchers() override;
  void ResumeWatchers() override;

  // --- The folder -------------------------------------------------------------------
  PCItemIDList FolderPIDL() const { return folder_.get(); }
  // The number of IDs of the folder's list: 0 for the desktop, -1 before
  // the first browse.
  int FolderLevel() const;
  // The folder's path; for the desktop its directory's; empty when the
  // folder has none (My Computer, the network).
  std::string FolderPath() const;
  TShItemIDType FolderType() const;
  ShellFolderPtr FolderShellFolder() const { return shellFolder_; }
  // The last fill could not list the folder (no permission, a disk error):
  // it is shown empty, and this says so; FolderReadError is the errno value.
  bool FolderUnreadable() const { return readError_ != 0; }
  int FolderReadError() const { return readError_; }
  bool FolderHasAttribute(int number) const;

  // --- Items ------------------------------------------------------------------------
  // Enumerates the folder again; the number of items. A folder that cannot
  // be bound leaves the items as they are.
  int FillItems();
  // Fills again and tells the observer (the context menu's and the
  // properties' refill).
  void RefreshItems() { FillItems(); }
  int Count() const { return static_cast<int>(items_.size()); }
  // The item at `index`; nullptr outside 0..Count()-1.
  TShellFileItem* ItemAt(int index) const;
  // The items' own IDs of the selection, with the folder as parent; valid
  // until the next call or change of the items.
  const TShellIDList& SelectionIDList();
  // Frees the selected items.
  void RemoveSelected();
  // Reads the details of the pending items among `items` at once.
  void CompleteDetails(const std::vector<TShellFileItem*>& items);
  // True while details of some items are still to come.
  bool DetailsPending() const;

  // Opens the item at `index`, activated in column `subItem` at (x, y): a
  // folder is browsed into (and the tree follows), anything else goes to
  // OnShExecute and then to the desktop's opener (ShellOpenItem).
  void ExecuteItem(int index, TShiftState shift = 0, int subItem = 0, int x = 0, int y = 0);
  // The clipboard changed (the view watches it).
  void ClipboardChanged(bool contented) { DoShClipboard(contented); }
  // Renames the item at `index` (CP932); the watchers are paused meanwhile.
  bool RenameItem(int index, const std::string& name);
  bool CanRename(int index) const;

  // --- Columns ------------------------------------------------------------------------
  // The live columns, by number (one column in a folder without a path).
  const std::vector<TShellColumn>& Columns() const { return columns_; }
  // The display order: element k is the number of the column shown k-th.
  const std::vector<int>& ColumnOrder() const { return columnOrder_; }
  // The view's width: columns are made a fifth of it, a lone name column half.
  void SetClientWidth(int width) { clientWidth_ = width; }
  // What the user did to the header.
  void SetColumnWidth(int number, int width);
  void SetColumnOrder(const std::vector<int>& order);
  // The five report widths: the live ones while five columns show, else
  // those saved when the list last left such a folder. Writing one sets the
  // live or the saved width the same way.
  int ReportColumnWidth(int number) const;
  void SetReportColumnWidth(int number, int width);

  // --- Sorting ------------------------------------------------------------------------------
  int SortColumn() const { return sortColumn_; }
  int SortDirection(int column) const;
  // Sorts by the column, keeping which items are selected and focused;
  // OnShSelChange once. Nothing in a folder without a path for column 4.
  void SortItems(int column);
  // The header click: the column's direction turns and SortItems runs.
  void ColumnClick(int column);

  // --- Selection --------------------------------------------------------------------------------
  void SetSelected(int first, int last, bool selected);
  void SelectAll(bool selected);
  int SelectedCount() const { return selectedCount_; }
  // The focused row; -1 for none.
  int FocusedIndex() const;
  void SetFocused(int index);
  std::uint64_t SelectionTotal() const { return selTotal_; }
  void LockSelChange() { ++selLock_; }
  void UnlockSelChange();
  virtual void DoShSelChange(std::uint64_t total);

  // --- Owner data -------------------------------------------------------------------------------
  // The rows first..last are about to be shown: their names, icons and
  // details are made ready.
  void CacheHint(int first, int last);
  // Finding an item, as a view asks: by the item itself (`Data`); by text
  // (CP932), a name that holds it anywhere (fkPartial, type-ahead) or begins
  // with it (fkExact), letters compared upper-cased character by character;
  // by the point nearest an item. The text search runs from `start` on and,
  // with `Wrap`, from 0 up to start, each item once. The index, or -1.
  enum TShellFindKind { fkData, fkPartial, fkExact, fkNearest };
  struct TShellFindInfo {
    TShellFindKind Kind = fkPartial;
    std::string Text;
    const TShellFileItem* Data = nullptr;
    int X = 0, Y = 0;
    bool Wrap = false;
  };
  int FindItem(const TShellFindInfo& info, int start);
  // The row of the largest file whose size is known; -1 for none.
  int LargestFileIndex() const;

  // --- Mouse press states -----------------------------------------------------------------------
  TShellDragState DragState() const { return dragState_; }
  void LeftButtonDown(bool onItem, int x, int y);
  void LeftButtonUp();
  void RightButtonDown(bool onItem, int x, int y);
  void RightButtonUp();

  // --- Context menu -----------------------------------------------------------------------------
  TShellPopupLink* ShellPopupMenu() const { return popup_; }
  void SetShellPopupMenu(TShellPopupLink* popup);
  // The context menu was asked for at a screen point after a right press
  // on an item: the linked popup shows the selection's shell menu and the
  // list follows what it did. False when no popup is linked or no item was
  // pressed.
  bool ContextPopup(DropPoint screen);
  // Rename was chosen: the view starts editing the name of the row.
  std::function<void(int row)> OnEditRow;

  // --- Drag and drop (ZuShellListDrag.cpp) ------------------------------------------------
  // A drag of the selection may start (canDrag comes in true).
  std::function<void(const TShellIDList& items, DropPoint start, int x, int y, bool& canDrag)> OnShBeginDrag;
  // An acceptable drag entered (screen point); false refuses it whole.
  std::function<void(TShellDragObject& drag, TShiftState shift, DropPoint pt, bool& accept)> OnShDragEnter;
  // An accepted drag left without a drop.
  std::function<void()> OnShDragLeave;
  // After each hover passed on (item null over the folder itself; screen point).
  std::function<void(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y)> OnShDragOver;
  // A drop arrives (defaultAction comes in true; false cancels it).
  std::function<void(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y,
                     bool& defaultAction)>
      OnShDragDrop;
  TShellDropSite& DropSite() { return dropSite_; }
  // The row that carries the drop-target mark; -1 for none.
  int DropHighlightIndex() const { return dropHighlight_; }
  // The drop target of the folder shown: that of its directory.
  std::shared_ptr<ShellDropTarget> FolderDropTarget() const;

  // The mouse moved to (x, y) while the pressing button may still be down:
  // the data and effects of a drag of the selection, when one starts
  // (DragState is then dsDragging until EndDrag).
  std::optional<TShellDragStart> BeginDrag(int x, int y, bool leftDown, bool rightDown);
  void EndDrag();
  // The drop-target calls. `index`: the row under the pointer, -1 over
  // empty space; points are screen points.
  HRESULT DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);
  HRESULT DragOver(int index, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);
  HRESULT DragLeave();
  HRESULT Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);

  // --- Watchers -------------------------------------------------------------------------------------
  std::string WatchedPath() const;
  // A files watcher's report (also called by tests): carried out at once,
  // or once no mouse button is held.
  void FilesChanged(TShFilesWatcher* watcher, const std::string& path);
  TShFilesWatcher* NamesWatcher() const { return namesWatcher_; }
  TShFilesWatcher* DetailsWatcher() const { return detailsWatcher_; }

 protected:
  // The steps that fire the events, with their defaults.
  virtual bool DoShFilter(TShellFileItem& item);
  virtual bool DoShExecute(TShellFileItem& item, TShiftState shift, int subItem, int x, int y);
  virtual void DoShListChange();
  virtual void DoShClipboard(bool contented);
  virtual bool DoShBeginDrag(const TShellIDList& items, DropPoint start, int x, int y);
  virtual bool DoShDragEnter(TShellDragObject& drag, TShiftState shift, DropPoint pt);
  virtual void DoShDragOver(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y);
  virtual void DoShDragLeave();
  virtual bool DoShDragDrop(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y);

 private:
  friend class TShellFileItem;
  void SetFolder(PCItemIDList folder);
  std::vector<std::unique_ptr<TShellFileItem>> EnumItems();
  std::vector<TShellFileItem*> AllItems() const;
  bool AnyItemPending() const;
  bool Keep(TShellFileItem& item);
  void SortBy(int column);
  void Renumber();
  void Clear();
  void LayoutColumns();
  void SaveColumns();
  void RecountSelection();
  void StartDetails(bool refresh);
  void StopDetails();
  void ApplyDetails(std::uint64_t generation, std::size_t first, const std::vector<FsEntryFacts>& facts,
                    bool refresh);
  void DetailsDone(std::uint64_t generation);
  void MergeNames();
  void RefreshDetails();
  void FolderGone();
  void RunPendingReports();
  void Reset(const std::function<void()>& change);

  TShellFileListTiming timing_;
  TShellFileListObserver* observer_ = nullptr;
  TShellFolderTree* tree_ = nullptr;
  TShellPopupLink* popup_ = nullptr;
  bool includeHidden_ = true;
  TShVirtuaItems virtuaItems_ = kDefaultShVirtuaItems;

  UniquePIDL folder_;
  ShellFolderPtr shellFolder_;
  int readError_ = 0;
  std::vector<std::unique_ptr<TShellFileItem>> items_;
  TShellIDList selection_;

  std::vector<TShellColumn> columns_;
  std::vector<int> columnOrder_;
  std::vector<int> savedOrder_;
  std::vector<int> savedWidths_;
  int clientWidth_ = 500;

  int sortColumn_ = 0;
  int sortDirections_[kReportColumns] = {1, 1, 1, 1, 1};
  bool resortWhenDetailsDone_ = false;

  int selectedCount_ = 0;
  std::uint64_t selTotal_ = 0;
  int selLock_ = 0;
  TShellFileItem* focused_ = nullptr;

  TShellDragState dragState_ = dsIdle;
  int dragStartX_ = 0, dragStartY_ = 0;
  TShellDropSite dropSite_;
  int dropHighlight_ = -1;
  void SetDropHighlight(int index);
  unsigned pendingReports_ = 0;  // reports that came while a button was held

  TShFilesWatcher* namesWatcher_ = nullptr;    // frees itself
  TShFilesWatcher* detailsWatcher_ = nullptr;  // frees itself
  bool watchersPaused_ = false;

  // The details read: the items of the worker's job in its order (null
  // once an item is gone), the worker and the generation of its job.
  std::vector<TShellFileItem*> job_;
  TShDetailsReader* reader_ = nullptr;  // frees itself
  std::uint64_t generation_ = 0;
};

}  // namespace tavo
