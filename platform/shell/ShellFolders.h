// Inside the shell namespace (ShellNamespace.h): the folder kinds and what
// they share. Not for use outside ShellNamespace.cpp and its siblings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell/ShellNamespace.h"

namespace tavo::shellns {

// --- Shared helpers ---------------------------------------------------------

// dir + "/" + name ("/" + name for the root).
std::string JoinOs(std::string_view dir, std::string_view name);

bool IsFsTag(ItemTag tag);
// One on-disk name: not empty, no '/' or NUL, not "." or "..".
bool ValidFsName(std::string_view name);
// An absolute, normalised OS path without NUL.
bool ValidOsPath(std::string_view path);

// The order of two names: ASCII letters folded first, then byte by byte, so
// that only equal names compare equal.
int CompareNames(std::string_view a, std::string_view b);

// A new list made of the concatenated item IDs in `ids` (no terminator in
// them); nullptr when it would pass the size limit.
PItemIDList ListOf(std::string_view ids);
// The bytes of one item ID (cb, tag, body), without a terminator.
std::string IdBytes(ItemTag tag, std::string_view body);

// A file-system ID's name, when it is a valid on-disk name; empty otherwise.
std::string_view ValidFsNameOf(PCItemIDList id);

// Names of the virtual folders, CP932.
extern const char kDesktopName[];
extern const char kComputerName[];
extern const char kNetworkName[];
extern const char kRecycleBinName[];

// --- The folders --------------------------------------------------------------

// What every folder does alike: lists of several IDs are handled by binding
// to the first ID and asking the folder it names about the rest; every list
// is validated first. A subclass answers for one ID.
class FolderBase : public ShellFolder {
 public:
  using ShellFolder::CompareIDs;
  using ShellFolder::GetAttributesOf;
  ShellFolderPtr BindToObject(PCItemIDList relative) final;
  std::optional<int> CompareIDs(int column, IDListSpan a, IDListSpan b) override;
  bool GetAttributesOf(std::span<const IDListSpan> items, std::uint32_t& attributes) final;
  bool GetDisplayNameOf(PCItemIDList item, std::uint32_t flags, std::string& name) final;
  bool SetNameOf(PCItemIDList item, std::string_view newName, std::uint32_t flags,
                 PItemIDList* newItem) final;
  bool GetFindData(PCItemIDList item, ShellFindData& findData) final;
  std::optional<int> GetOverlayIndex(PCItemIDList item) final;
  bool SortKey(int column, IDListSpan item, std::string& key) final;
  void ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) override;

  // One-ID forms; `id` is a validated item ID of this folder's making.
  virtual ShellFolderPtr BindChild(PCItemIDList id) = 0;
  virtual std::optional<int> CompareChildren(int column, PCItemIDList a, PCItemIDList b) = 0;
  // All attribute bits of the child; only bits in `asked` need be exact
  // where they cost a look at the disk (SFGAO_HASSUBFOLDER, SFGAO_VALIDATE).
  virtual bool ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) = 0;
  virtual bool ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) = 0;
  virtual bool RenameChild(PCItemIDList id, std::string_view newName, PItemIDList* newItem);
  virtual bool ChildFindData(PCItemIDList id, ShellFindData& findData);
  // 0 (no overlay) unless the folder kind gives one.
  virtual int ChildOverlay(PCItemIDList id);
  virtual bool ChildSortKey(int column, PCItemIDList id, std::string& key);
  // The empty list: the folder itself (only the desktop answers).
  virtual bool SelfAttributes(std::uint32_t& attributes);
  virtual bool SelfName(std::uint32_t flags, std::string& name);
};

// A folder of the file system. `trash` marks the Trash's files/ folder,
// whose entries show their original names and cannot be renamed or moved.
class FileSystemFolder : public FolderBase {
 public:
  FileSystemFolder(std::string osPath, bool trash);

  bool ParseDisplayName(std::string_view name, PItemIDList& list) override;
  std::unique_ptr<ShellEnumIDList> EnumObjects(std::uint32_t flags) override;

  ShellFolderPtr BindChild(PCItemIDList id) override;
  std::optional<int> CompareChildren(int column, PCItemIDList a, PCItemIDList b) override;
  bool ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) override;
  bool ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) override;
  bool RenameChild(PCItemIDList id, std::string_view newName, PItemIDList* newItem) override;
  bool ChildFindData(PCItemIDList id, ShellFindData& findData) override;
  int ChildOverlay(PCItemIDList id) override;
  bool ChildSortKey(int column, PCItemIDList id, std::string& key) override;
  void ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) override;

  const std::string& OsPath() const { return osPath_; }

 private:
  // The facts an ID carries, or those of the disk when it carries none.
  FsItemFacts KnownFacts(PCItemIDList id) const;
  // The rename itself: 0 or why it was refused (errno value).
  int RenameOnDisk(PCItemIDList id, std::string_view newName, PItemIDList* newItem);

  std::string osPath_;
  bool trash_;
};

// The attributes of a folder on disk as the volume of `osPath` gives them.
// A folder has a subfolder when a listing finds one (the first ends the
// look); the entry type of the listing decides where the file system gives
// it, else a stat.
bool FolderHasSubfolder(const std::string& osPath);
bool IsReadOnlyMount(const std::string& osPath);
// A folder this process may not list: no read or search permission.
bool FolderUnreadable(const std::string& osPath);

// New IDs for paths: the file-system IDs of `names` below an existing folder
// `dirOs` (each with its facts from the disk), appended to `ids`. False when
// an entry does not exist or a name is not valid.
bool AppendFsIds(const std::string& dirOs, std::string_view relative, std::string& ids);

}  // namespace tavo::shellns
