// The shell namespace: the tree of objects that the folder-browsing controls
// show, over the real file system.
//
//   desktop (the empty list)
//   ├─ My Computer ─ one volume per mount: "/" and the mounts under /media,
//   │                /run/media, /mnt, a separate /home, network mounts;
//   │                below each volume its folders and files
//   ├─ Network     ─ empty
//   ├─ Recycle Bin ─ the freedesktop Trash (its files/ folder)
//   └─ the entries of the desktop directory (XDG, else the home folder)
//
// A folder is reached by binding (ShellGetDesktopFolder, BindToObject) and
// answers for its children, which it names by relative item-ID lists
// (ShellItemID.h). Every list handed in is validated first; a malformed one
// is a failure, never a walk past its end. Display names and names handed in
// are CP932; on disk names are raw bytes (UTF-8), which the IDs hold as they
// are. Every entry is enumerated and named: one whose name has no CP932 form
// is named by its escaped form (OsPath.h, Cp932Name.h), which parses back to
// it, as its path does. Names that differ only in case are different objects.
//
// Folders hold no cached state (each call looks at the disk and the mount
// table), so a folder may be used from any thread; lists returned are new
// allocator blocks owned by the caller. A file-system item's ID carries what
// one stat() of the entry told when the ID was made (FsItemFacts): sizes,
// times and most attributes are answered from it, so two IDs of one entry
// made at different times may differ in bytes; CompareIDs decides whether
// they name the same object. The project's folders offer no
// per-folder icon, overlay or UI interfaces: icons come from ShellFileInfo.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/ShellFindData.h"
#include "platform/shell/ShellItemID.h"
#include "platform/shell/UniquePIDL.h"

namespace tavo {

// Attribute bits (GetAttributesOf).
inline constexpr std::uint32_t SFGAO_CANCOPY = 0x1;
inline constexpr std::uint32_t SFGAO_CANMOVE = 0x2;
inline constexpr std::uint32_t SFGAO_CANLINK = 0x4;
inline constexpr std::uint32_t SFGAO_CANRENAME = 0x10;
inline constexpr std::uint32_t SFGAO_CANDELETE = 0x20;
inline constexpr std::uint32_t SFGAO_HASPROPSHEET = 0x40;
inline constexpr std::uint32_t SFGAO_DROPTARGET = 0x100;
inline constexpr std::uint32_t SFGAO_CAPABILITYMASK = 0x177;
inline constexpr std::uint32_t SFGAO_LINK = 0x10000;  // a symbolic link
inline constexpr std::uint32_t SFGAO_SHARE = 0x20000;
inline constexpr std::uint32_t SFGAO_READONLY = 0x40000;
inline constexpr std::uint32_t SFGAO_GHOST = 0x80000;
inline constexpr std::uint32_t SFGAO_HIDDEN = 0x80000;
inline constexpr std::uint32_t SFGAO_DISPLAYATTRMASK = 0xF0000;
inline constexpr std::uint32_t SFGAO_NONENUMERATED = 0x100000;
inline constexpr std::uint32_t SFGAO_NEWCONTENT = 0x200000;
inline constexpr std::uint32_t SFGAO_VALIDATE = 0x1000000;
inline constexpr std::uint32_t SFGAO_REMOVABLE = 0x2000000;
inline constexpr std::uint32_t SFGAO_COMPRESSED = 0x4000000;
inline constexpr std::uint32_t SFGAO_BROWSABLE = 0x8000000;
inline constexpr std::uint32_t SFGAO_FILESYSANCESTOR = 0x10000000;
inline constexpr std::uint32_t SFGAO_FOLDER = 0x20000000;
inline constexpr std::uint32_t SFGAO_FILESYSTEM = 0x40000000;
inline constexpr std::uint32_t SFGAO_HASSUBFOLDER = 0x80000000;
inline constexpr std::uint32_t SFGAO_CONTENTSMASK = 0x80000000;
// This system's own: a folder whose entries this process may not list (no
// read or search permission). It looks at the disk, so it is answered only
// when asked.
inline constexpr std::uint32_t SFGAO_UNREADABLE = 0x8000;

// Overlay images (GetOverlayIndex), numbered as the shell numbers them.
inline constexpr int kOverlayShare = 1;
inline constexpr int kOverlayLink = 2;       // a symbolic link
inline constexpr int kOverlayReadOnly = 3;   // this process may not write it
inline constexpr int kOverlayUnreadable = 4; // a folder it may not list

// Enumeration flags (EnumObjects).
inline constexpr std::uint32_t SHCONTF_FOLDERS = 0x20;
inline constexpr std::uint32_t SHCONTF_NONFOLDERS = 0x40;
inline constexpr std::uint32_t SHCONTF_INCLUDEHIDDEN = 0x80;
// Names first: a file-system entry whose kind (file or folder) the listing
// tells is not looked at. Its ID then carries no facts, and its find data
// tells only file or folder and hidden (no size, time or READONLY);
// ReadFacts completes such IDs later.
inline constexpr std::uint32_t SHCONTF_FASTITEMS = 0x2000;

// Display-name flags (GetDisplayNameOf, SetNameOf).
inline constexpr std::uint32_t SHGDN_NORMAL = 0;
inline constexpr std::uint32_t SHGDN_INFOLDER = 0x1;
inline constexpr std::uint32_t SHGDN_FOREDITING = 0x1000;
inline constexpr std::uint32_t SHGDN_FORADDRESSBAR = 0x4000;
inline constexpr std::uint32_t SHGDN_FORPARSING = 0x8000;

// Special-folder locations (ShellGetSpecialFolderLocation).
inline constexpr int CSIDL_DESKTOP = 0;
inline constexpr int CSIDL_PERSONAL = 5;
inline constexpr int CSIDL_BITBUCKET = 10;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 16;
inline constexpr int CSIDL_DRIVES = 17;
inline constexpr int CSIDL_NETWORK = 18;
inline constexpr int CSIDL_APPDATA = 26;

class ShellFolder;
using ShellFolderPtr = std::shared_ptr<ShellFolder>;

// The children of one folder, one at a time.
class ShellEnumIDList {
 public:
  virtual ~ShellEnumIDList() = default;
  // The next child: a new one-ID relative list (the caller frees it) and,
  // when `findData` is given, its find data. False at the end.
  virtual bool Next(PItemIDList& item, ShellFindData* findData) = 0;
};

class ShellFolder {
 public:
  virtual ~ShellFolder() = default;

  // A new list for a name of this folder's children: for the desktop an
  // absolute path ("/" first; "." and ".." are taken lexically), for a
  // file-system folder a relative path; every component must exist. False
  // (list untouched) otherwise.
  virtual bool ParseDisplayName(std::string_view name, PItemIDList& list) = 0;

  // The children chosen by SHCONTF_* flags; nullptr when the folder cannot
  // be read, and errno then says why (EACCES: no permission).
  virtual std::unique_ptr<ShellEnumIDList> EnumObjects(std::uint32_t flags) = 0;

  // The folder named by a relative list of one or more IDs; nullptr when
  // the list is malformed or does not name a folder.
  virtual ShellFolderPtr BindToObject(PCItemIDList relative) = 0;

  // Order of two relative lists by a column (0 name, 1 size, 2 type, 3
  // modification time, 4 attributes; folders first in every column):
  // negative, 0 (the same object) or positive; nullopt on failure. Sizes,
  // times and attributes are those the IDs carry (FsItemFacts), so a sort
  // looks at the disk only for IDs made without them.
  virtual std::optional<int> CompareIDs(int column, IDListSpan a, IDListSpan b) = 0;
  std::optional<int> CompareIDs(int column, PCItemIDList a, PCItemIDList b) {
    return CompareIDs(column, SpanOf(a), SpanOf(b));
  }

  // `attributes` in: the SFGAO bits asked; out: those of them that hold for
  // every item. File-system items answer from the facts their IDs carry;
  // only SFGAO_HASSUBFOLDER looks into a folder, and SFGAO_VALIDATE looks
  // at the disk afresh (and fails for an item that is gone). False
  // (attributes untouched) when an item is malformed, or gone where that is
  // looked at, or `items` is empty.
  virtual bool GetAttributesOf(std::span<const IDListSpan> items, std::uint32_t& attributes) = 0;
  bool GetAttributesOf(std::span<const PCItemIDList> items, std::uint32_t& attributes);

  // The overlay image of a child (kOverlay*, 0 for none, also when the
  // child is gone); nullopt when the folder offers no overlays, and callers
  // fall back to SFGAO_SHARE and SFGAO_LINK.
  virtual std::optional<int> GetOverlayIndex(PCItemIDList item) {
    (void)item;
    return std::nullopt;
  }

  // The name of a child by SHGDN_* flags, CP932.
  virtual bool GetDisplayNameOf(PCItemIDList item, std::uint32_t flags, std::string& name) = 0;

  // Renames a child to `newName` (CP932, one file name); never replaces an
  // existing entry. On success `*newItem` (when given) receives the child's
  // new relative list. A rename that the file system refuses is told to
  // the user, as the shell's own dialog would (ShellQuestions.h'
  // ReportRenameRefused), and errno then says why (EEXIST the name is
  // taken, EINVAL it is no file name, EILSEQ it has no form on disk, ...).
  virtual bool SetNameOf(PCItemIDList item, std::string_view newName, std::uint32_t flags,
                         PItemIDList* newItem) = 0;

  // The find data of a child, as enumeration gave it (from the facts its ID
  // carries; from the disk for an ID made without them).
  virtual bool GetFindData(PCItemIDList item, ShellFindData& findData) = 0;

  // Appends to `key` the sort key of the child `item` (its first ID) by a
  // column of CompareIDs: the keys of two children compare as unsigned
  // bytes (std::string's order) the way CompareIDs orders them, so a sort
  // builds each key once and never depends on a comparison being
  // consistent. False (key untouched) for an item the folder cannot key.
  virtual bool SortKey(int column, IDListSpan item, std::string& key) = 0;

  // For each child in `items` (its first ID) what the disk tells of it now
  // (WriteFsFacts puts that into an ID); facts.known is false for a child
  // that is gone or carries no facts (a volume, a virtual folder). `facts`
  // gets items.size() entries. The folder is opened once for all: made for
  // worker threads that complete IDs enumerated with SHCONTF_FASTITEMS.
  virtual void ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) = 0;
};

// The desktop folder: the root of the namespace (never null).
ShellFolderPtr ShellGetDesktopFolder();

// A new absolute list of a special folder: CSIDL_DESKTOP, CSIDL_BITBUCKET,
// CSIDL_DRIVES, CSIDL_NETWORK; CSIDL_DESKTOPDIRECTORY (the XDG desktop
// directory, else the home folder, else "/": it never fails);
// CSIDL_PERSONAL (the home folder); CSIDL_APPDATA (the XDG configuration
// folder, when it exists). Every other number fails (list untouched).
bool ShellGetSpecialFolderLocation(int csidl, PItemIDList& list);

// Opens an object as the desktop opens it: a file or folder by its path
// (ShellOpen); My Computer, the network and the Recycle Bin, which have
// none, by the desktop's own addresses for them ("computer:///",
// "network:///", "trash:///"). False for an object with neither, and when
// nothing could be started.
bool ShellOpenItem(PCItemIDList absolute);

// The file-system path (CP932, no trailing '/' except for "/") of an
// absolute list: a volume, a folder or file below one, an entry of the
// desktop directory or of the Trash; for the desktop's empty list the desktop
// directory. False for the virtual folders and malformed lists.
bool ShellGetPathFromIDList(PCItemIDList absolute, std::string& path);

}  // namespace tavo
