// The file-system folders of the shell namespace (see ShellFolders.h).
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/files/Files.h"
#include "platform/shell/ShellFolders.h"
#include "platform/shell/ShellQuestions.h"
#include "platform/shell/ShellSpecialFolders.h"
#include "platform/text/Cp932Name.h"
#include "platform/text/OsPath.h"

namespace tavo::shellns {
namespace {

bool IsHiddenName(std::string_view name) { return !name.empty() && name[0] == '.'; }

// stat() of an entry, following links; a dangling link answers its own
// lstat(). `isLink` tells whether the entry itself is a link.
bool StatEntry(int dirFd, const char* name, struct stat& st, bool* isLink) {
  struct stat lst {};
  if (::fstatat(dirFd, name, &lst, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (isLink != nullptr) *isLink = S_ISLNK(lst.st_mode);
  if (!S_ISLNK(lst.st_mode) || ::fstatat(dirFd, name, &st, 0) != 0) st = lst;
  return true;
}

// The facts of an entry (relative to `dirFd`), from one stat: false when it
// is gone.
bool EntryFacts(int dirFd, const char* osName, bool readOnlyMount, FsItemFacts& facts, bool& isDir) {
  struct stat st {};
  bool isLink = false;
  if (!StatEntry(dirFd, osName, st, &isLink)) return false;
  // Only the name's first byte matters for HIDDEN, and '.' is the same byte
  // in both encodings.
  const ShellFindData fd = FindDataFromStat(st, std::string_view(osName, osName[0] == '.' ? 1 : 0), readOnlyMount);
  facts.known = true;
  facts.link = isLink;
  facts.attributes = fd.attributes;
  facts.size = fd.size;
  facts.writeTime = fd.writeTime;
  isDir = S_ISDIR(st.st_mode);
  return true;
}

ShellFindData FindDataOf(const FsItemFacts& facts, std::string cp932Name) {
  ShellFindData fd;
  fd.attributes = facts.attributes;
  fd.size = facts.size;
  fd.writeTime = facts.writeTime;
  fd.name = std::move(cp932Name);
  return fd;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// The extension of a name, from its last '.' on, ASCII letters folded.
std::string FoldedExt(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string ext = dot == std::string_view::npos || dot == 0 ? std::string() : std::string(name.substr(dot));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The original file name of a Trash entry: the last component of the Path
// key (percent-encoded) of its .trashinfo file; empty when there is none.
std::string TrashOriginalName(std::string_view onDiskName) {
  std::ifstream in(TrashInfoOsPath() + "/" + std::string(onDiskName) + ".trashinfo", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("Path=", 0) != 0) continue;
    std::string path;
    for (std::size_t i = 5; i < line.size(); ++i) {
      if (line[i] == '%' && i + 2 < line.size() && HexDigit(line[i + 1]) >= 0 && HexDigit(line[i + 2]) >= 0) {
        path += static_cast<char>(HexDigit(line[i + 1]) * 16 + HexDigit(line[i + 2]));
        i += 2;
      } else {
        path += line[i];
      }
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    return ValidFsName(name) ? name : std::string();
  }
  return {};
}

class FsEnum : public ShellEnumIDList {
 public:
  FsEnum(DIR* dir, std::uint32_t flags, bool readOnlyMount)
      : dir_(dir), flags_(flags), readOnly_(readOnlyMount) {}
  ~FsEnum() override { ::closedir(dir_); }
  FsEnum(const FsEnum&) = delete;
  FsEnum& operator=(const FsEnum&) = delete;

  // Each entry is stat'ed once, relative to the folder's descriptor, and
  // what that told is kept in its ID; an entry whose type the listing gives
  // and that the flags leave out is not stat'ed at all.
  bool Next(PItemIDList& item, ShellFindData* findData) override {
    const int fd = ::dirfd(dir_);
    while (dirent* e = ::readdir(dir_)) {
      std::string_view name = e->d_name;
      if (name == "." || name == "..") continue;
      if (IsHiddenName(name) && (flags_ & SHCONTF_INCLUDEHIDDEN) == 0) continue;
      if ((e->d_type == DT_DIR && (flags_ & SHCONTF_FOLDERS) == 0) ||
          (e->d_type == DT_REG && (flags_ & SHCONTF_NONFOLDERS) == 0))
        continue;
      FsItemFacts facts;
      bool isDir = e->d_type == DT_DIR;
      if ((flags_ & SHCONTF_FASTITEMS) != 0 && (e->d_type == DT_DIR || e->d_type == DT_REG)) {
        // Names first: what the listing tells, the rest later (ReadFacts).
        facts.attributes = (isDir ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE) |
                           (IsHiddenName(name) ? FILE_ATTRIBUTE_HIDDEN : 0);
      } else {
        if (!EntryFacts(fd, e->d_name, readOnly_, facts, isDir)) continue;  // gone meanwhile
        if ((flags_ & (isDir ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS)) == 0) continue;
      }
      PItemIDList id = facts.known ? MakeFsItemID(isDir, name, facts) : MakeFsItemID(isDir, name);
      if (id == nullptr) continue;
      // Every entry is named, escaped where it has no CP932 form.
      if (findData != nullptr) *findData = FindDataOf(facts, Cp932FormOfOsBytes(name));
      item = id;
      return true;
    }
    return false;
  }

 private:
  DIR* dir_;
  std::uint32_t flags_;
  bool readOnly_;
};

}  // namespace

bool FolderHasSubfolder(const std::string& osPath) {
  DIR* d = ::opendir(osPath.c_str());
  if (d == nullptr) return false;
  bool found = false;
  while (!found) {
    dirent* e = ::readdir(d);
    if (e == nullptr) break;
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
      struct stat st {};
      isDir = ::fstatat(::dirfd(d), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    found = isDir;
  }
  ::closedir(d);
  return found;
}

bool FolderUnreadable(const std::string& osPath) {
  if (::faccessat(AT_FDCWD, osPath.c_str(), R_OK | X_OK, AT_EACCESS) == 0) return false;
  return errno == EACCES || errno == EPERM;
}

bool IsReadOnlyMount(const std::string& osPath) {
  struct statvfs vfs {};
  return ::statvfs(osPath.c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0;
}

bool AppendFsIds(const std::string& dirOs, std::string_view relative, std::string& ids) {
  std::string path = dirOs;
  std::string out;
  std::size_t i = 0;
  bool any = false;
  while (i < relative.size()) {
    std::size_t j = relative.find('/', i);
    if (j == std::string_view::npos) j = relative.size();
    std::string_view name = relative.substr(i, j - i);
    i = j + 1;
    if (name.empty() || name == ".") continue;
    if (!ValidFsName(name)) return false;
    const bool readOnly = IsReadOnlyMount(path);
    path = JoinOs(path, name);
    FsItemFacts facts;
    bool isDir = false;
    if (!EntryFacts(AT_FDCWD, path.c_str(), readOnly, facts, isDir)) return false;
    facts.attributes = (facts.attributes & ~FILE_ATTRIBUTE_HIDDEN) | (IsHiddenName(name) ? FILE_ATTRIBUTE_HIDDEN : 0);
    out += IdBytes(isDir ? ItemTag::FsFolder : ItemTag::FsFile, FsBody(facts, name));
    any = true;
  }
  if (!any) return false;
  ids += out;
  return true;
}

FileSystemFolder::FileSystemFolder(std::string osPath, bool trash) : osPath_(std::move(osPath)), trash_(trash) {}

bool FileSystemFolder::ParseDisplayName(std::string_view name, PItemIDList& list) {
  if (name.empty() || name[0] == '/') return false;
  auto os = ToOsPath(name);
  if (!os) return false;
  std::string ids;
  if (!AppendFsIds(osPath_, *os, ids)) return false;
  PItemIDList l = ListOf(ids);
  if (l == nullptr) return false;
  list = l;
  return true;
}

std::unique_ptr<ShellEnumIDList> FileSystemFolder::EnumObjects(std::uint32_t flags) {
  DIR* d = ::opendir(osPath_.c_str());
  if (d == nullptr) return nullptr;
  return std::make_unique<FsEnum>(d, flags, IsReadOnlyMount(osPath_));
}

ShellFolderPtr FileSystemFolder::BindChild(PCItemIDList id) {
  const std::string_view name = ValidFsNameOf(id);
  if (name.empty()) return nullptr;
  std::string path = JoinOs(osPath_, name);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  return std::make_shared<FileSystemFolder>(std::move(path), false);
}

// Names are only compared here, never used on the disk, so they need no
// check beyond being there; sizes, times and attributes come from the IDs.
std::optional<int> FileSystemFolder::CompareChildren(int column, PCItemIDList a, PCItemIDList b) {
  if (!IsFsTag(TagOf(a)) || !IsFsTag(TagOf(b))) return std::nullopt;
  const std::string_view na = FsNameOf(a), nb = FsNameOf(b);
  if (na.empty() || nb.empty()) return std::nullopt;
  const bool dirA = TagOf(a) == ItemTag::FsFolder, dirB = TagOf(b) == ItemTag::FsFolder;
  if (dirA != dirB) return dirA ? -1 : 1;
  if (na == nb) return 0;
  int r = 0;
  if (column == 2) {
    r = FoldedExt(na).compare(FoldedExt(nb));
  } else if (column == 1 || column == 3 || column == 4) {
    const FsItemFacts fa = KnownFacts(a), fb = KnownFacts(b);
    if (column == 1) r = fa.size < fb.size ? -1 : fa.size > fb.size ? 1 : 0;
    if (column == 3) r = fa.writeTime < fb.writeTime ? -1 : fa.writeTime > fb.writeTime ? 1 : 0;
    if (column == 4) r = AttributeLetters(fa.attributes).compare(AttributeLetters(fb.attributes));
  }
  if (r != 0) return Sign(r);
  return CompareNames(na, nb);
}

FsItemFacts FileSystemFolder::KnownFacts(PCItemIDList id) const {
  FsItemFacts facts = FsFactsOf(id);
  if (facts.known) return facts;
  // An ID made without facts (or an entry gone meanwhile) sorts as an empty one.
  const std::string_view name = ValidFsNameOf(id);
  bool isDir = false;
  if (name.empty() || !EntryFacts(AT_FDCWD, JoinOs(osPath_, name).c_str(), false, facts, isDir)) return {};
  return facts;
}

bool FileSystemFolder::ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) {
  const std::string_view name = ValidFsNameOf(id);
  if (name.empty()) return false;
  FsItemFacts facts = FsFactsOf(id);
  bool isDir = TagOf(id) == ItemTag::FsFolder;
  std::string path;
  auto diskPath = [&]() -> const std::string& {
    if (path.empty()) path = JoinOs(osPath_, name);
    return path;
  };
  if (!facts.known || (asked & SFGAO_VALIDATE) != 0) {
    if (!EntryFacts(AT_FDCWD, diskPath().c_str(), IsReadOnlyMount(osPath_), facts, isDir)) return false;
    facts.attributes = (facts.attributes & ~FILE_ATTRIBUTE_HIDDEN) | (IsHiddenName(name) ? FILE_ATTRIBUTE_HIDDEN : 0);
  }
  std::uint32_t a = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
                    SFGAO_HASPROPSHEET | SFGAO_FILESYSTEM;
  if (isDir) {
    a |= SFGAO_FOLDER | SFGAO_DROPTARGET;
    if ((asked & SFGAO_HASSUBFOLDER) != 0 && FolderHasSubfolder(diskPath())) a |= SFGAO_HASSUBFOLDER;
    if ((asked & SFGAO_UNREADABLE) != 0 && FolderUnreadable(diskPath())) a |= SFGAO_UNREADABLE;
  }
  if (facts.link) a |= SFGAO_LINK;
  if (facts.attributes & FILE_ATTRIBUTE_HIDDEN) a |= SFGAO_HIDDEN;
  if (facts.attributes & FILE_ATTRIBUTE_READONLY) a |= SFGAO_READONLY;
  if (trash_) a &= ~(SFGAO_CANRENAME | SFGAO_CANMOVE);
  attributes = a;
  return true;
}

bool FileSystemFolder::ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) {
  const std::string_view osName = ValidFsNameOf(id);
  if (osName.empty()) return false;
  std::optional<std::string> text;
  if ((flags & (SHGDN_FORPARSING | SHGDN_FORADDRESSBAR)) != 0 && (flags & SHGDN_INFOLDER) == 0) {
    text = FromOsPathEscaped(JoinOs(osPath_, osName));
  } else {
    if (trash_ && (flags & (SHGDN_FORPARSING | SHGDN_FOREDITING)) == 0) {
      std::string original = TrashOriginalName(osName);
      if (!original.empty()) text = FromOsPathEscaped(original);
    }
    if (!text) text = FromOsPathEscaped(osName);
  }
  if (!text) return false;
  name = std::move(*text);
  return true;
}

bool FileSystemFolder::RenameChild(PCItemIDList id, std::string_view newName, PItemIDList* newItem) {
  const int error = RenameOnDisk(id, newName, newItem);
  if (error == 0) return true;
  // Told as the shell's own dialog would tell it.
  if (const auto& tell = GetShellQuestions().ReportRenameRefused) tell(std::string(newName), error);
  errno = error;
  return false;
}

int FileSystemFolder::RenameOnDisk(PCItemIDList id, std::string_view newName, PItemIDList* newItem) {
  if (trash_ || ValidFsNameOf(id).empty()) return EPERM;
  auto osName = ToOsPath(newName);
  if (!osName) return EILSEQ;
  if (!ValidFsName(*osName)) return EINVAL;
  const std::string oldName(ValidFsNameOf(id));
  const int dirFd = ::open(osPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return errno;
  int r = ::renameat2(dirFd, oldName.c_str(), dirFd, osName->c_str(), RENAME_NOREPLACE);
  if (r != 0 && errno == EEXIST) {
    // A file system that ignores case finds the new name "taken" by the
    // entry itself when only the case changes; then renaming replaces nothing.
    struct stat so {}, sn {};
    if (::fstatat(dirFd, oldName.c_str(), &so, AT_SYMLINK_NOFOLLOW) == 0 &&
        ::fstatat(dirFd, osName->c_str(), &sn, AT_SYMLINK_NOFOLLOW) == 0 && so.st_dev == sn.st_dev &&
        so.st_ino == sn.st_ino)
      r = ::renameat(dirFd, oldName.c_str(), dirFd, osName->c_str());
    else
      errno = EEXIST;
  } else if (r != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // No RENAME_NOREPLACE on this file system: look first.
    struct stat sn {};
    if (::fstatat(dirFd, osName->c_str(), &sn, AT_SYMLINK_NOFOLLOW) == 0) errno = EEXIST;
    else if (errno == ENOENT) r = ::renameat(dirFd, oldName.c_str(), dirFd, osName->c_str());
  }
  const int error = r == 0 ? 0 : errno;
  FsItemFacts facts;
  bool isDir = false;
  if (error == 0) EntryFacts(dirFd, osName->c_str(), IsReadOnlyMount(osPath_), facts, isDir);
  ::close(dirFd);
  if (error != 0) return error;
  if (newItem != nullptr) *newItem = MakeFsItemID(isDir, *osName, facts);
  return 0;
}

// Sizes and times big-endian, so that their bytes sort as the numbers do.
static void AppendNumberKey(std::string& key, std::uint64_t v) {
  for (int shift = 56; shift >= 0; shift -= 8) key += static_cast<char>((v >> shift) & 0xFF);
}

bool FileSystemFolder::ChildSortKey(int column, PCItemIDList id, std::string& key) {
  if (!IsFsTag(TagOf(id))) return false;
  const std::string_view name = FsNameOf(id);
  if (name.empty()) return false;
  // Folders first, then the column, then the name as CompareNames orders
  // it: folded, a 0 that ends it (a shorter name first), then the bytes.
  key += TagOf(id) == ItemTag::FsFolder ? '\0' : '\1';
  if (column == 1 || column == 3) {
    const FsItemFacts facts = KnownFacts(id);
    AppendNumberKey(key, column == 1 ? facts.size : facts.writeTime);
  } else if (column == 2) {
    key += FoldedExt(name);
    key += '\0';
  } else if (column == 4) {
    key += AttributeLetters(KnownFacts(id).attributes);
    key += '\0';
  }
  const std::size_t at = key.size();
  key.append(name);
  for (std::size_t i = at; i < key.size(); ++i)
    if (key[i] >= 'A' && key[i] <= 'Z') key[i] = static_cast<char>(key[i] - 'A' + 'a');
  key += '\0';
  key += name;
  return true;
}

void FileSystemFolder::ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) {
  facts.assign(items.size(), {});
  const int dirFd = ::open(osPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return;
  const bool readOnly = IsReadOnlyMount(osPath_);
  std::string osName;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (ValidIDListSize(items[i]) == 0 || CbOf(items[i].p) == 0) continue;
    const std::string_view name = ValidFsNameOf(items[i].p);
    if (name.empty()) continue;
    osName.assign(name);
    FsEntryFacts& entry = facts[i];
    if (!EntryFacts(dirFd, osName.c_str(), readOnly, entry.facts, entry.folder)) entry = {};
  }
  ::close(dirFd);
}

int FileSystemFolder::ChildOverlay(PCItemIDList id) {
  const std::string_view name = ValidFsNameOf(id);
  if (name.empty()) return 0;
  const FsItemFacts facts = KnownFacts(id);
  if (!facts.known) return 0;
  if ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && FolderUnreadable(JoinOs(osPath_, name)))
    return kOverlayUnreadable;
  if (facts.link) return kOverlayLink;
  if (facts.attributes & FILE_ATTRIBUTE_READONLY) return kOverlayReadOnly;
  return 0;
}

bool FileSystemFolder::ChildFindData(PCItemIDList id, ShellFindData& findData) {
  const std::string_view name = ValidFsNameOf(id);
  if (name.empty()) return false;
  FsItemFacts facts = FsFactsOf(id);
  bool isDir = false;
  if (!facts.known && !EntryFacts(AT_FDCWD, JoinOs(osPath_, name).c_str(), IsReadOnlyMount(osPath_), facts, isDir))
    return false;
  findData = FindDataOf(facts, Cp932FormOfOsBytes(name));
  return true;
}

}  // namespace tavo::shellns
