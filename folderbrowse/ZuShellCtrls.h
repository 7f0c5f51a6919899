// The common ground of the shell controls: selections of shell objects, the
// abstract shell item behind a tree node, a list row or a combo entry, the
// system image list and the key-state translation of drag and drop.
//
// Lists (PItemIDList, ZuShellIDFunc.h) are owned as each class says. Items
// cache what the namespace answers (display name, icon indexes, parent
// folder) on first use; whoever changes an item resets the caches. GUI
// thread; nothing here locks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellDropTarget.h"
#include "platform/shell/ShellNamespace.h"

namespace tavo {

// A selection of shell objects that share one parent folder: relative lists
// and the parent's absolute list. It owns none of them; whoever fills it
// keeps them alive while it is used.
class TShellIDList {
 public:
  TShellIDList() = default;
  virtual ~TShellIDList() = default;
  TShellIDList(const TShellIDList&) = delete;
  TShellIDList& operator=(const TShellIDList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  void Add(PItemIDList relative) { items_.push_back(relative); }
  // Forgets every item (TShellIDList2 frees them, and the parent list).
  virtual void Clear() { items_.clear(); }

  PCItemIDList ParentPIDL() const { return parent_; }
  // TShellIDList2 frees the parent list it held.
  virtual void SetParentPIDL(PItemIDList parent) { parent_ = parent; }

  // The relative list at `index` (not a copy); nullptr outside 0..Count()-1.
  PItemIDList RelativePIDL(int index) const;
  // The items as one array for calls about several objects; nullptr when
  // there are none.
  const PItemIDList* PIDLArray() const { return items_.empty() ? nullptr : items_.data(); }
  // The parent folder: the desktop for a parent list of no IDs, else the
  // desktop's binding to it; nullptr without a parent list.
  ShellFolderPtr GetParentFolder() const;
  // The capability bits (SFGAO_CAPABILITYMASK) that hold for all items; 0 on
  // failure or without items.
  std::uint32_t CapabilityAttributes() const;
  // True when every item has attribute `number` (AttributeFlagTable).
  bool AllHaveAttribute(int number) const;
  // The file-system path of the item at `index`; empty when it has none.
  std::string ItemPath(int index) const;

 protected:
  std::vector<PItemIDList> items_;
  PItemIDList parent_ = nullptr;

 private:
  bool AttributesOfAll(std::uint32_t& attributes) const;
};

// A TShellIDList that owns its item lists and its parent list.
class TShellIDList2 : public TShellIDList {
 public:
  TShellIDList2() = default;
  ~TShellIDList2() override;
  void Clear() override;
  void SetParentPIDL(PItemIDList parent) override;
};

// The abstract shell object behind a tree node, a list row or a combo entry.
// It owns its relative list, its absolute list (stored by the subclass) and
// its parent list (computed by the subclass on first use); all three are
// freed with it.
class TShellDataItem {
 public:
  virtual ~TShellDataItem();
  TShellDataItem(const TShellDataItem&) = delete;
  TShellDataItem& operator=(const TShellDataItem&) = delete;

  // Slot 0: the small closed icon's index in the system image list, cached;
  // -1 while the parent folder cannot be had.
  virtual int GetIconIndex();
  // Slot 1: the item's position in its control.
  virtual int Index() const = 0;
  // Slot 2: the number of IDs of the absolute list (0 the desktop); -1
  // without a list.
  virtual int Level() = 0;
  // Slot 3: the parent folder's absolute list (borrowed).
  virtual PCItemIDList ParentPIDL() = 0;
  // Slot 4: the absolute list (borrowed).
  virtual PCItemIDList AbsolutePIDL() = 0;
  // Slot 5: the small open icon's index, cached.
  virtual int GetOpenIconIndex();
  // Slot 6: the item is usable.
  virtual bool IsValid() const = 0;

  PCItemIDList RelativePIDL() const { return relativePIDL_; }

  // The folder that holds the item (for the desktop the desktop itself),
  // found on first use and kept.
  bool ParentFolder(ShellFolderPtr& folder);
  // The in-folder display name, cached (an empty answer is asked again).
  std::string DisplayName();
  // The file-system path; empty when the object has none.
  std::string GetPath();
  // True when the parent folder answers every bit of attribute `number`.
  bool HasAttribute(int number);
  // The overlay image, counted from 0 (kOverlay* - 1: 0 shared, 1 link, 2
  // read-only, 3 a folder that cannot be read), -1 for none; asked anew
  // each time (controls keep it with their rows). A folder that offers no
  // overlays answers by the share and link attributes.
  int OverlayIndex();
  TShItemIDType ItemType();
  // The object's drop target: that of its folder on disk (the desktop's
  // directory for the desktop); nullptr for a file and for an object
  // without a path.
  std::shared_ptr<ShellDropTarget> ItemDropTarget();

  // For the control that changes the item (rename, a drive change).
  void ResetIconCaches() { iconIndex_ = openIconIndex_ = -1; }
  void SetDisplayNameCache(std::string name) { displayName_ = std::move(name); }

 protected:
  // Takes both lists over (either may be nullptr).
  TShellDataItem(PItemIDList relative, PItemIDList absolute);

  ShellFolderPtr parentFolder_;
  PItemIDList relativePIDL_ = nullptr;
  PItemIDList absolutePIDL_ = nullptr;
  PItemIDList parentPIDL_ = nullptr;
  int openIconIndex_ = -1;
  int iconIndex_ = -1;
  std::string displayName_;

 private:
  // The list the parent folder knows the item by: the absolute one at level
  // 0, the relative one below.
  PCItemIDList OwnList();
};

// Whether a folder control shows `child` of `parent` by its virtual-items
// setting: under the desktop the Recycle Bin and the network as `items`
// says and no other virtual folder; under My Computer virtual folders only
// with itVirtual; under the network nothing without itNetWork.
bool ShowsVirtualChild(TShellDataItem& parent, TShellDataItem& child, TShVirtuaItems items);

// The system image list: indexes are ShellIconIndex values (ShellFileInfo.h);
// the pictures are drawn by ShellIcons.h at `iconSize` pixels.
struct TSystemImageList {
  int iconSize;
  int count;
};
// The large (32 px) or small (16 px) image list; nullptr when the desktop's
// list cannot be had.
const TSystemImageList* SystemImageList(bool large);

// The file-list column captions (name, size, type, modified, attributes), CP932.
const std::array<std::string, 5>& ShellColumnCaptions();

// Shift state of a drag's key state (MK_* bits, ShellDropTarget.h).
enum TShiftStateBit : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;
TShiftState ShiftStateFromKeys(std::uint32_t keyState);

}  // namespace tavo
