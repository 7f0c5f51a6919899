// The path combo without a window: the drop-down of where a linked folder
// tree stands. Its rows (ZuShellComboList.h) are the desktop, the
// desktop's folders, the folders of the first of them (My Computer), and
// the chain of folders down to the tree's selection, made as temporary
// rows when the selection lies deeper. Choosing a row makes the tree
// select that folder; the tree hands the combo every selection and
// refresh. As a drop target it hands drops to the folder of its selected
// row. TZuShellComboBox (ZuShellComboBox.h) shows it.
//
// The combo owns its rows; the tree is not owned (it unlinks itself before
// it goes, and the combo unlinks itself from the tree likewise). UI thread.
#pragma once

#include <functional>
#include <string>

#include "folderbrowse/ZuShellComboList.h"
#include "folderbrowse/ZuShellDragDrop.h"
#include "folderbrowse/ZuShellFolderTree.h"

namespace tavo {

class TShellPathComboObserver : public TShellComboListObserver {
 public:
  // The selected row moved (from code: no change notice follows).
  virtual void SelectionMoved(int /*row*/) {}
  // A row's text or icon changed.
  virtual void RowChanged(int /*row*/) {}
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

 protected:
  ~TShellPathComboObserver() = default;
};

class TShellPathCombo final : public TShellComboLink {
 public:
  TShellPathCombo();
  ~TShellPathCombo();
  TShellPathCombo(const TShellPathCombo&) = delete;
  TShellPathCombo& operator=(const TShellPathCombo&) = delete;

  void SetObserver(TShellPathComboObserver* observer);
  TShellComboList& Items() { return items_; }
  bool ItemsReady() const { return items_.ItemsReady; }
  TShellFolderTree* LinkedTree() const { return tree_; }
  TShVirtuaItems ShVirtuaItems() const { return virtuaItems_; }
  bool IncludeHidden() const { return includeHidden_; }

  // The window came (the rows are built, the saved selection shown again)
  // or goes (the selection is kept, the rows go).
  void CreateWindow();
  void DestroyWindow();

  // TShellComboLink: what the tree calls.
  void SetTreeLink(TShellFolderTree* tree) override { tree_ = tree; }
  void StoreShVirtuaItems(TShVirtuaItems items) override { virtuaItems_ = items; }
  void StoreIncludeHidden(bool include) override { includeHidden_ = include; }
  // Builds the permanent rows again, keeping them where they still exist.
  void RebuildItems() override;
  // Shows the folder of the list as the selected row, making path rows as
  // needed; nothing when the selected row is that folder already.
  void SelectComboPIDL(PCItemIDList folder) override;
  void BeginUpdate() override;
  void EndUpdate() override;
  void UpdateDriveRow(PCItemIDList drive, const std::string& caption) override;

  // The row of a list, making the missing path rows; 0 (the desktop) when
  // it cannot get there. Always ends.
  int LocatePIDL(PCItemIDList target);
  // The selected row's list; null when no row is selected.
  PCItemIDList SelectedComboPIDL() const;
  int ItemIndex() const;
  // Selects a row from code (no change notice).
  void SetItemIndex(int row);
  // Brings the row's child rows in step with its present sub-folders.
  void ExpandItem(TShellComboItem* item);
  // The user chose a row: the path below goes as it should, and the tree
  // follows.
  void Change(int row);
  // What a row shows: in the closed field the folder's path (the desktop
  // and folders without one: the name), in the drop-down the name. CP932.
  std::string FieldText(int row);
  std::string RowText(int row);

  // --- Drop target: the selected row's folder takes the drop -----------------
  std::function<void(TShellDragObject& drag, TShellComboItem* item, TShiftState shift, int x, int y)> OnShDragOver;
  std::function<void(TShellDragObject& drag, TShellComboItem* item, TShiftState shift, int x, int y,
                     bool& defaultAction)>
      OnShDragDrop;
  TShellDropSite& DropSite() { return dropSite_; }
  HRESULT DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);
  HRESULT DragOver(std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);
  HRESULT DragLeave();
  HRESULT Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect);

 private:
  std::vector<std::unique_ptr<TShellComboItem>> EnumChildren(const ShellFolderPtr& folder, TShellComboItem& parent);
  bool Keep(TShellComboItem& parent, TShellComboItem& child);
  std::shared_ptr<ShellDropTarget> SelectedDropTarget();
  void Select(TShellComboItem* item);

  TShellComboList items_;
  TShellPathComboObserver* observer_ = nullptr;
  TShellFolderTree* tree_ = nullptr;
  TShVirtuaItems virtuaItems_ = kDefaultShVirtuaItems;
  bool includeHidden_ = true;
  bool hasWindow_ = false;
  TShellComboItem* selected_ = nullptr;
  UniquePIDL savedSelection_;
  TShellDropSite dropSite_;
};

}  // namespace tavo
