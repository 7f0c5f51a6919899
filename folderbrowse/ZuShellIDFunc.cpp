#include "folderbrowse/ZuShellIDFunc.h"

#include <cstring>

#include "platform/shell/ShellAllocator.h"
#include "platform/shell/ShellFileInfo.h"

namespace tavo {

const int SpecialFolderTable[30] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 16, 17, 18,
                                    19, 20, 21, 22, 23, 24, 25, 26, 27, 29, 30, 31, 32, 33, 34};

const std::uint32_t AttributeFlagTable[25] = {
    SFGAO_CANCOPY,         SFGAO_CANMOVE,     SFGAO_CANLINK,         SFGAO_CANRENAME,   SFGAO_CANDELETE,
    SFGAO_HASPROPSHEET,    SFGAO_DROPTARGET,  SFGAO_CAPABILITYMASK,  SFGAO_LINK,        SFGAO_SHARE,
    SFGAO_READONLY,        SFGAO_GHOST,       SFGAO_HIDDEN,          SFGAO_DISPLAYATTRMASK,
    SFGAO_FILESYSANCESTOR, SFGAO_FOLDER,      SFGAO_FILESYSTEM,      SFGAO_HASSUBFOLDER, SFGAO_CONTENTSMASK,
    SFGAO_VALIDATE,        SFGAO_REMOVABLE,   SFGAO_COMPRESSED,      SFGAO_BROWSABLE,   SFGAO_NONENUMERATED,
    SFGAO_NEWCONTENT,
};

namespace {

PItemIDList CopyBytes(PCItemIDList from, std::size_t n, std::size_t size) {
  PItemIDList p = AllocPIDL(size);
  if (p != nullptr) std::memcpy(p, from, n);
  return p;
}

PCItemIDList LastID(PCItemIDList valid) {
  PCItemIDList last = valid;
  for (PCItemIDList id = valid; CbOf(id) != 0; id += CbOf(id)) last = id;
  return last;
}

}  // namespace

void FreePIDL(PItemIDList& pidl) {
  ShellFree(pidl);
  pidl = nullptr;
}

PItemIDList AllocPIDL(std::size_t size) {
  if (size == 0 || size > kMaxIDListSize) return nullptr;
  void* p = ShellAlloc(size);
  if (p != nullptr) std::memset(p, 0, size);
  return static_cast<PItemIDList>(p);
}

std::uint16_t FirstItemIDSize(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0 || CbOf(pidl) == 0) return 0;
  return static_cast<std::uint16_t>(CbOf(pidl) + 2);
}

std::uint16_t PIDLSize(PCItemIDList pidl) { return static_cast<std::uint16_t>(ValidIDListSize(pidl)); }

PCItemIDList NextItemID(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0 || CbOf(pidl) == 0) return nullptr;
  PCItemIDList next = pidl + CbOf(pidl);
  return CbOf(next) == 0 ? nullptr : next;
}

int ItemIDCount(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0) return -1;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  if (!desktop) return -1;
  if (IsDesktopPIDL(desktop, pidl)) return 0;
  return CountItemIDs(pidl);
}

PItemIDList CopyFirstItemID(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0 || CbOf(pidl) == 0) return nullptr;
  // The zeroed allocation supplies the terminator.
  return CopyBytes(pidl, CbOf(pidl), CbOf(pidl) + 2u);
}

PItemIDList ClonePIDL(PCItemIDList pidl) {
  const std::size_t n = ValidIDListSize(pidl);
  return n == 0 ? nullptr : CopyBytes(pidl, n, n);
}

PItemIDList ConcatPIDL(PCItemIDList a, PCItemIDList b) {
  const std::size_t na = ValidIDListSize(a), nb = ValidIDListSize(b);
  if (na == 0 || nb == 0 || na - 2 + nb > kMaxIDListSize) return nullptr;
  PItemIDList p = AllocPIDL(na - 2 + nb);
  if (p == nullptr) return nullptr;
  std::memcpy(p, a, na - 2);
  std::memcpy(p + na - 2, b, nb);
  return p;
}

PItemIDList AppendPIDL(PItemIDList& a, PItemIDList& b) {
  PItemIDList r = nullptr;
  if (a != nullptr && b != nullptr) {
    r = ConcatPIDL(a, b);
  } else if (a != nullptr || b != nullptr) {
    r = ClonePIDL(a != nullptr ? a : b);
  }
  FreePIDL(a);
  FreePIDL(b);
  return r;
}

PItemIDList ParentPIDL(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0 || CbOf(pidl) == 0) return nullptr;
  PCItemIDList last = LastID(pidl);
  if (last == pidl) return nullptr;
  const std::size_t n = static_cast<std::size_t>(last - pidl);
  return CopyBytes(pidl, n, n + 2);
}

PItemIDList LastItemID(PCItemIDList pidl) {
  if (ValidIDListSize(pidl) == 0 || CbOf(pidl) == 0) return nullptr;
  return CopyFirstItemID(LastID(pidl));
}

int ComparePIDL(const ShellFolderPtr& folder, PCItemIDList a, PCItemIDList b) {
  if (!folder || a == nullptr || b == nullptr) return 3;
  const std::optional<int> r = folder->CompareIDs(0, a, b);
  if (!r) return 3;
  const auto code = static_cast<std::int16_t>(static_cast<std::uint32_t>(*r) & 0xFFFF);
  return code == 0 ? 0 : code > 0 ? 1 : 2;
}

bool IsDesktopPIDL(const ShellFolderPtr& folder, PCItemIDList pidl) {
  PItemIDList desktop = nullptr;
  if (!GetSpecialFolderPIDL(0, desktop)) return false;
  const bool same = ComparePIDL(folder, desktop, pidl) == 0;
  FreePIDL(desktop);
  return same;
}

bool PIDLToPath(PCItemIDList pidl, std::string& path) {
  path.clear();
  if (ShellGetPathFromIDList(pidl, path)) return true;
  path.clear();
  return false;
}

bool PathToPIDL(std::string_view path, PItemIDList& pidl) {
  pidl = nullptr;
  if (path.empty()) return false;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  return desktop && desktop->ParseDisplayName(path, pidl);
}

bool GetSpecialFolderPIDL(int number, PItemIDList& pidl) {
  pidl = nullptr;
  if (number < 0 || number >= 30) return false;
  return ShellGetSpecialFolderLocation(SpecialFolderTable[number], pidl);
}

bool StrRetToString(const ShellFolderPtr& folder, PCItemIDList pidl, std::uint32_t flags, std::string& text) {
  text.clear();
  if (!folder || pidl == nullptr) return true;
  if (folder->GetDisplayNameOf(pidl, flags, text)) return true;
  text.clear();
  return false;
}

int GetSysIconIndex(PCItemIDList pidl, bool /*large*/, bool open) {
  // The large and the small image list hold the same kinds at the same
  // indexes.
  const int index = ShellIconIndexOf(pidl, open);
  return index < 0 ? kIconDocument : index;
}

}  // namespace tavo
