#include "folderbrowse/ZuShellCtrls.h"

#include "folderbrowse/ZuShellCst.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/text/OsPath.h"

namespace tavo {

// --- TShellIDList ---------------------------------------------------------------

PItemIDList TShellIDList::RelativePIDL(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

ShellFolderPtr TShellIDList::GetParentFolder() const {
  if (parent_ == nullptr) return nullptr;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  if (!desktop) return nullptr;
  const int level = ItemIDCount(parent_);
  if (level < 0) return nullptr;
  return level == 0 ? desktop : desktop->BindToObject(parent_);
}

bool TShellIDList::AttributesOfAll(std::uint32_t& attributes) const {
  if (items_.empty()) return false;
  ShellFolderPtr folder = GetParentFolder();
  if (!folder) return false;
  const std::vector<PCItemIDList> items(items_.begin(), items_.end());
  return folder->GetAttributesOf(items, attributes);
}

std::uint32_t TShellIDList::CapabilityAttributes() const {
  std::uint32_t a = SFGAO_CAPABILITYMASK;
  return AttributesOfAll(a) ? a : 0;
}

bool TShellIDList::AllHaveAttribute(int number) const {
  if (number < 0 || number >= 25) return false;
  const std::uint32_t wanted = AttributeFlagTable[number];
  std::uint32_t a = wanted;
  return AttributesOfAll(a) && (a & wanted) == wanted;
}

std::string TShellIDList::ItemPath(int index) const {
  PItemIDList item = RelativePIDL(index);
  if (item == nullptr) return {};
  PItemIDList full = ConcatPIDL(parent_, item);
  std::string path;
  PIDLToPath(full, path);
  FreePIDL(full);
  return path;
}

TShellIDList2::~TShellIDList2() {
  FreePIDL(parent_);
  Clear();
}

void TShellIDList2::Clear() {
  for (PItemIDList& p : items_) FreePIDL(p);
  items_.clear();
  FreePIDL(parent_);
}

void TShellIDList2::SetParentPIDL(PItemIDList parent) {
  if (parent != parent_) FreePIDL(parent_);
  parent_ = parent;
}

// --- TShellDataItem ---------------------------------------------------------------

TShellDataItem::TShellDataItem(PItemIDList relative, PItemIDList absolute)
    : relativePIDL_(relative), absolutePIDL_(absolute) {}

TShellDataItem::~TShellDataItem() {
  FreePIDL(parentPIDL_);
  FreePIDL(relativePIDL_);
  FreePIDL(absolutePIDL_);
}

bool TShellDataItem::ParentFolder(ShellFolderPtr& folder) {
  if (!parentFolder_) {
    ShellFolderPtr desktop = ShellGetDesktopFolder();
    if (!desktop) return false;
    const int level = Level();
    // The desktop holds itself (level 0) and its children (level 1).
    if (level == 0 || level == 1) {
      parentFolder_ = desktop;
    } else {
      parentFolder_ = desktop->BindToObject(ParentPIDL());
    }
  }
  folder = parentFolder_;
  return folder != nullptr;
}

PCItemIDList TShellDataItem::OwnList() { return Level() == 0 ? AbsolutePIDL() : relativePIDL_; }

std::string TShellDataItem::DisplayName() {
  ShellFolderPtr folder;
  if (displayName_.empty() && ParentFolder(folder)) {
    std::string text;
    if (StrRetToString(folder, OwnList(), SHGDN_INFOLDER, text)) displayName_ = std::move(text);
  }
  return displayName_;
}

std::string TShellDataItem::GetPath() {
  std::string path;
  // At level 0 the relative list is the desktop directory's.
  PIDLToPath(Level() == 0 ? relativePIDL_ : AbsolutePIDL(), path);
  return path;
}

bool TShellDataItem::HasAttribute(int number) {
  if (number < 0 || number >= 25) return false;
  ShellFolderPtr folder;
  if (!ParentFolder(folder)) return false;
  PCItemIDList item = OwnList();
  if (item == nullptr) return false;
  const std::uint32_t wanted = AttributeFlagTable[number];
  std::uint32_t a = wanted;
  return folder->GetAttributesOf({&item, 1}, a) && (a & wanted) == wanted;
}

int TShellDataItem::OverlayIndex() {
  ShellFolderPtr folder;
  if (!ParentFolder(folder)) return -1;
  if (const std::optional<int> overlay = folder->GetOverlayIndex(OwnList())) return *overlay > 0 ? *overlay - 1 : -1;
  if (HasAttribute(9)) return kOverlayShare - 1;
  if (HasAttribute(8)) return kOverlayLink - 1;
  return -1;
}

TShItemIDType TShellDataItem::ItemType() {
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  if (!desktop) return itUnknown;
  const int level = Level();
  if (level == 0) return itDeskTop;
  if (level == 1) {
    const std::pair<int, TShItemIDType> specials[] = {{13, itMyComputer}, {14, itNetWork}, {10, itBitBucket}};
    for (const auto& [number, type] : specials) {
      PItemIDList special = nullptr;
      if (GetSpecialFolderPIDL(number, special)) {
        const bool same = ComparePIDL(desktop, special, relativePIDL_) == 0;
        FreePIDL(special);
        if (same) return type;
      }
    }
  }
  if (!HasAttribute(16)) return itVirtual;
  if (level == 2 && HasAttribute(14)) return itRootDrive;
  return HasAttribute(15) ? itFolder : itFile;
}

std::shared_ptr<ShellDropTarget> TShellDataItem::ItemDropTarget() {
  if (!HasAttribute(15)) return nullptr;  // a folder
  const std::string path = GetPath();
  auto os = ToOsPath(path);
  return path.empty() || !os ? nullptr : FileSystemDropTarget(*os);
}

int TShellDataItem::GetIconIndex() {
  ShellFolderPtr folder;
  // The project's folders have no icon interface of their own: the system
  // image list decides.
  if (iconIndex_ == -1 && ParentFolder(folder)) iconIndex_ = GetSysIconIndex(AbsolutePIDL(), false, false);
  return iconIndex_;
}

int TShellDataItem::GetOpenIconIndex() {
  if (openIconIndex_ == -1) openIconIndex_ = GetSysIconIndex(AbsolutePIDL(), false, true);
  return openIconIndex_;
}

// --- Routines ---------------------------------------------------------------------

bool ShowsVirtualChild(TShellDataItem& parent, TShellDataItem& child, TShVirtuaItems items) {
  const int level = parent.Level();
  if (level == 0) {
    const TShItemIDType type = child.ItemType();
    if (type == itBitBucket || type == itNetWork) return items.Contains(type);
    return type != itVirtual;
  }
  if (level == 1) {
    const TShItemIDType parentType = parent.ItemType();
    if (parentType == itMyComputer) return child.ItemType() != itVirtual || items.Contains(itVirtual);
    if (parentType == itNetWork) return items.Contains(itNetWork);
  }
  return true;
}

const TSystemImageList* SystemImageList(bool large) {
  static const TSystemImageList kSmall{16, kIconCount};
  static const TSystemImageList kLarge{32, kIconCount};
  PItemIDList desktop = nullptr;
  if (!GetSpecialFolderPIDL(0, desktop)) return nullptr;
  FreePIDL(desktop);
  return large ? &kLarge : &kSmall;
}

const std::array<std::string, 5>& ShellColumnCaptions() {
  static const std::array<std::string, 5> captions = {
      ShellResourceString(SShellColName), ShellResourceString(SShellColSize), ShellResourceString(SShellColType),
      ShellResourceString(SShellColModified), ShellResourceString(SShellColAttributes)};
  return captions;
}

TShiftState ShiftStateFromKeys(std::uint32_t keyState) {
  TShiftState s = 0;
  if (keyState & MK_SHIFT) s |= ssShift;
  if (keyState & MK_CONTROL) s |= ssCtrl;
  if (keyState & MK_ALT) s |= ssAlt;
  if (keyState & MK_LBUTTON) s |= ssLeft;
  if (keyState & MK_RBUTTON) s |= ssRight;
  if (keyState & MK_MBUTTON) s |= ssMiddle;
  return s;
}

}  // namespace tavo
