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
#include "platform/files/OsPath.h"
#include "platform/shell/ShellFolders.h"
#include "platform/shell/ShellSpecialFolders.h"
#include "platform/text/Cp932.h"

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

bool StatPath(const std::string& path, struct stat& st, bool* isLink) {
  return StatEntry(AT_FDCWD, path.c_str(), st, isLink);
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

std::string AttributeLetters(std::uint32_t a) {
  std::string s;
  if (a & FILE_ATTRIBUTE_READONLY) s += 'R';
  if (a & FILE_ATTRIBUTE_HIDDEN) s += 'H';
  if (a & FILE_ATTRIBUTE_SYSTEM) s += 'S';
  if (a & FILE_ATTRIBUTE_ARCHIVE) s += 'A';
  return s;
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

  bool Next(PItemIDList& item, ShellFindData* findData) override {
    const int fd = ::dirfd(dir_);
    while (dirent* e = ::readdir(dir_)) {
      std::string_view name = e->d_name;
      if (name == "." || name == "..") continue;
      if (IsHiddenName(name) && (flags_ & SHCONTF_INCLUDEHIDDEN) == 0) continue;
      bool isDir;
      struct stat st {};
      const bool known = e->d_type == DT_DIR || e->d_type == DT_REG;
      if (known && findData == nullptr) {
        isDir = e->d_type == DT_DIR;
      } else {
        if (!StatEntry(fd, e->d_name, st, nullptr)) continue;  // gone meanwhile
        isDir = S_ISDIR(st.st_mode);
      }
      if ((flags_ & (isDir ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS)) == 0) continue;
      auto cp932 = FromOsPath(name);
      if (!cp932) continue;  // not expressible: the program cannot name it
      PItemIDList id = MakeItemID(isDir ? ItemTag::FsFolder : ItemTag::FsFile, name);
      if (id == nullptr) continue;
      if (findData != nullptr) *findData = FindDataFromStat(st, *cp932, readOnly_);
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
    found = isDir && Utf8ToCp932(name).has_value();
  }
  ::closedir(d);
  return found;
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
    path = JoinOs(path, name);
    struct stat st {};
    if (!StatPath(path, st, nullptr)) return false;
    out += IdBytes(S_ISDIR(st.st_mode) ? ItemTag::FsFolder : ItemTag::FsFile, name);
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
  if (!IsFsTag(TagOf(id)) || !ValidFsName(BodyOf(id))) return nullptr;
  std::string path = JoinOs(osPath_, BodyOf(id));
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  return std::make_shared<FileSystemFolder>(std::move(path), false);
}

std::optional<int> FileSystemFolder::CompareChildren(int column, PCItemIDList a, PCItemIDList b) {
  if (!IsFsTag(TagOf(a)) || !IsFsTag(TagOf(b))) return std::nullopt;
  const bool dirA = TagOf(a) == ItemTag::FsFolder, dirB = TagOf(b) == ItemTag::FsFolder;
  if (dirA != dirB) return dirA ? -1 : 1;
  const std::string_view na = BodyOf(a), nb = BodyOf(b);
  if (na == nb) return 0;
  int r = 0;
  if (column >= 1 && column <= 4) {
    if (column == 2) {
      r = FoldedExt(na).compare(FoldedExt(nb));
    } else {
      ShellFindData fa, fb;  // an entry gone meanwhile sorts as an empty one
      ChildFindData(a, fa);
      ChildFindData(b, fb);
      if (column == 1) r = fa.size < fb.size ? -1 : fa.size > fb.size ? 1 : 0;
      if (column == 3) r = fa.writeTime < fb.writeTime ? -1 : fa.writeTime > fb.writeTime ? 1 : 0;
      if (column == 4) r = AttributeLetters(fa.attributes).compare(AttributeLetters(fb.attributes));
    }
  }
  if (r != 0) return Sign(r);
  return CompareNames(na, nb);
}

bool FileSystemFolder::ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) {
  if (!IsFsTag(TagOf(id)) || !ValidFsName(BodyOf(id))) return false;
  const std::string path = JoinOs(osPath_, BodyOf(id));
  struct stat st {};
  bool isLink = false;
  if (!StatPath(path, st, &isLink)) return false;
  auto cp932 = FromOsPath(BodyOf(id));
  if (!cp932) return false;
  std::uint32_t a = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
                    SFGAO_HASPROPSHEET | SFGAO_FILESYSTEM;
  if (S_ISDIR(st.st_mode)) {
    a |= SFGAO_FOLDER | SFGAO_DROPTARGET;
    if ((asked & SFGAO_HASSUBFOLDER) != 0 && FolderHasSubfolder(path)) a |= SFGAO_HASSUBFOLDER;
  }
  if (isLink) a |= SFGAO_LINK;
  const ShellFindData fd = FindDataFromStat(st, *cp932, IsReadOnlyMount(osPath_));
  if (fd.attributes & FILE_ATTRIBUTE_HIDDEN) a |= SFGAO_HIDDEN;
  if (fd.attributes & FILE_ATTRIBUTE_READONLY) a |= SFGAO_READONLY;
  if (trash_) a &= ~(SFGAO_CANRENAME | SFGAO_CANMOVE);
  attributes = a;
  return true;
}

bool FileSystemFolder::ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) {
  if (!IsFsTag(TagOf(id)) || !ValidFsName(BodyOf(id))) return false;
  std::optional<std::string> text;
  if ((flags & (SHGDN_FORPARSING | SHGDN_FORADDRESSBAR)) != 0 && (flags & SHGDN_INFOLDER) == 0) {
    text = FromOsPath(JoinOs(osPath_, BodyOf(id)));
  } else {
    if (trash_ && (flags & (SHGDN_FORPARSING | SHGDN_FOREDITING)) == 0) {
      std::string original = TrashOriginalName(BodyOf(id));
      if (!original.empty()) text = FromOsPath(original);
    }
    if (!text) text = FromOsPath(BodyOf(id));
  }
  if (!text) return false;
  name = std::move(*text);
  return true;
}

bool FileSystemFolder::RenameChild(PCItemIDList id, std::string_view newName, PItemIDList* newItem) {
  if (trash_ || !IsFsTag(TagOf(id)) || !ValidFsName(BodyOf(id))) return false;
  auto osName = ToOsPath(newName);
  if (!osName || !ValidFsName(*osName)) return false;
  const std::string oldName(BodyOf(id));
  const int dirFd = ::open(osPath_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return false;
  int r = ::renameat2(dirFd, oldName.c_str(), dirFd, osName->c_str(), RENAME_NOREPLACE);
  if (r != 0 && errno == EEXIST) {
    // A file system that ignores case finds the new name "taken" by the
    // entry itself when only the case changes; then renaming replaces nothing.
    struct stat so {}, sn {};
    if (::fstatat(dirFd, oldName.c_str(), &so, AT_SYMLINK_NOFOLLOW) == 0 &&
        ::fstatat(dirFd, osName->c_str(), &sn, AT_SYMLINK_NOFOLLOW) == 0 && so.st_dev == sn.st_dev &&
        so.st_ino == sn.st_ino)
      r = ::renameat(dirFd, oldName.c_str(), dirFd, osName->c_str());
  } else if (r != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // No RENAME_NOREPLACE on this file system: look first.
    struct stat sn {};
    if (::fstatat(dirFd, osName->c_str(), &sn, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
      r = ::renameat(dirFd, oldName.c_str(), dirFd, osName->c_str());
  }
  struct stat st {};
  const bool ok = r == 0;
  const bool isDir = ok && ::fstatat(dirFd, osName->c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode);
  ::close(dirFd);
  if (!ok) return false;
  if (newItem != nullptr) *newItem = MakeItemID(isDir ? ItemTag::FsFolder : ItemTag::FsFile, *osName);
  return true;
}

bool FileSystemFolder::ChildFindData(PCItemIDList id, ShellFindData& findData) {
  if (!IsFsTag(TagOf(id)) || !ValidFsName(BodyOf(id))) return false;
  auto cp932 = FromOsPath(BodyOf(id));
  struct stat st {};
  if (!cp932 || !StatPath(JoinOs(osPath_, BodyOf(id)), st, nullptr)) return false;
  findData = FindDataFromStat(st, *cp932, IsReadOnlyMount(osPath_));
  return true;
}

}  // namespace tavo::shellns
