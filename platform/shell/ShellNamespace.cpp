// The desktop, My Computer and the network, what all folders share, and the
// namespace's entry points (see ShellNamespace.h, ShellFolders.h).
#include "platform/shell/ShellNamespace.h"

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "platform/files/Files.h"
#include "platform/shell/ShellAllocator.h"
#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellFolders.h"
#include "platform/shell/ShellSpecialFolders.h"
#include "platform/shell/ShellVolumes.h"
#include "platform/system/Process.h"
#include "platform/text/Cp932Name.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace shellns {

const char kDesktopName[] = "\x83\x66\x83\x58\x83\x4E\x83\x67\x83\x62\x83\x76";  // デスクトップ
const char kComputerName[] =
    "\x83\x7D\x83\x43\x20\x83\x52\x83\x93\x83\x73\x83\x85\x81\x5B\x83\x5E";  // マイ コンピュータ
const char kNetworkName[] = "\x83\x6C\x83\x62\x83\x67\x83\x8F\x81\x5B\x83\x4E";  // ネットワーク
const char kRecycleBinName[] = "\x82\xB2\x82\xDD\x94\xA0";                      // ごみ箱

// Longer names and mount points than any file system makes are refused, so
// that one item ID always fits its 16-bit size.
constexpr std::size_t kMaxName = 1024;
constexpr std::size_t kMaxPath = 16384;

std::string JoinOs(std::string_view dir, std::string_view name) {
  std::string s(dir);
  if (s != "/") s += '/';
  s += name;
  return s;
}

bool IsFsTag(ItemTag tag) { return tag == ItemTag::FsFile || tag == ItemTag::FsFolder; }

std::string_view ValidFsNameOf(PCItemIDList id) {
  if (!IsFsTag(TagOf(id))) return {};
  const std::string_view name = FsNameOf(id);
  return ValidFsName(name) ? name : std::string_view();
}

bool ValidFsName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxName && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

bool ValidOsPath(std::string_view path) {
  if (path.empty() || path[0] != '/' || path.size() > kMaxPath) return false;
  if (path == "/") return true;
  if (path.back() == '/') return false;
  std::size_t i = 1;
  while (i <= path.size()) {
    std::size_t j = path.find('/', i);
    if (j == std::string_view::npos) j = path.size();
    if (!ValidFsName(path.substr(i, j - i))) return false;
    i = j + 1;
  }
  return true;
}

int CompareNames(std::string_view a, std::string_view b) {
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;  // the common case, without folding
    const int ca = fold(static_cast<unsigned char>(a[i])), cb = fold(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

PItemIDList ListOf(std::string_view ids) {
  if (ids.size() + 2 > kMaxIDListSize) return nullptr;
  auto* p = static_cast<PItemIDList>(ShellAlloc(ids.size() + 2));
  if (p == nullptr) return nullptr;
  if (!ids.empty()) std::memcpy(p, ids.data(), ids.size());
  p[ids.size()] = 0;
  p[ids.size() + 1] = 0;
  return p;
}

std::string IdBytes(ItemTag tag, std::string_view body) {
  const std::size_t cb = body.size() + 3;
  std::string s;
  s += static_cast<char>(cb & 0xFF);
  s += static_cast<char>((cb >> 8) & 0xFF);
  s += static_cast<char>(tag);
  s += body;
  return s;
}

namespace {

PCItemIDList Next(PCItemIDList id) { return id + CbOf(id); }
bool IsLast(PCItemIDList id) { return CbOf(Next(id)) == 0; }

// The folder that holds the last ID of a non-empty validated list, found by
// binding along it, and that ID.
template <class F>
bool WithLast(FolderBase* folder, PCItemIDList item, F&& f) {
  ShellFolderPtr hold;
  PCItemIDList id = item;
  while (!IsLast(id)) {
    hold = folder->BindChild(id);
    if (!hold) return false;
    folder = static_cast<FolderBase*>(hold.get());  // every folder here derives from FolderBase
    id = Next(id);
  }
  return f(*folder, id);
}

bool StatDir(const std::string& osPath) {
  struct stat st {};
  return ::stat(osPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The absolute list of an existing OS path: My Computer, the volume with the
// longest mount point above it, and the entries below that.
bool OsPathToList(const std::string& os, PItemIDList& list) {
  struct stat st {};
  if (!ValidOsPath(os) || ::lstat(os.c_str(), &st) != 0) return false;
  const auto volumes = ShellVolumes();
  const ShellVolume* v = VolumeOfPath(volumes, os);
  if (v == nullptr || !ValidOsPath(v->mountPoint)) return false;
  std::string ids = IdBytes(ItemTag::Computer, {}) + IdBytes(ItemTag::Volume, v->mountPoint);
  if (os.size() > v->mountPoint.size()) {
    const std::string_view rest = std::string_view(os).substr(v->mountPoint == "/" ? 1 : v->mountPoint.size() + 1);
    if (!AppendFsIds(v->mountPoint, rest, ids)) return false;
  }
  PItemIDList l = ListOf(ids);
  if (l == nullptr) return false;
  list = l;
  return true;
}

// Every name and path has a CP932 form, escaped where it has no plain one.
bool ToCp932(std::string_view os, std::string& out) {
  auto c = FromOsPathEscaped(os);
  if (!c) return false;
  out = std::move(*c);
  return true;
}

bool ForParsing(std::uint32_t flags) {
  return (flags & (SHGDN_FORPARSING | SHGDN_FORADDRESSBAR)) != 0 && (flags & SHGDN_INFOLDER) == 0;
}

// Children handed out from a list made in advance, then from a folder's own.
class ListEnum : public ShellEnumIDList {
 public:
  ListEnum(std::vector<std::pair<std::string, ShellFindData>> items, std::unique_ptr<ShellEnumIDList> then)
      : items_(std::move(items)), then_(std::move(then)) {}
  bool Next(PItemIDList& item, ShellFindData* findData) override {
    while (pos_ < items_.size()) {
      const auto& [ids, fd] = items_[pos_++];
      PItemIDList l = ListOf(ids);
      if (l == nullptr) continue;
      if (findData != nullptr) *findData = fd;
      item = l;
      return true;
    }
    return then_ != nullptr && then_->Next(item, findData);
  }

 private:
  std::vector<std::pair<std::string, ShellFindData>> items_;
  std::size_t pos_ = 0;
  std::unique_ptr<ShellEnumIDList> then_;
};

class NetworkFolder : public FolderBase {
 public:
  bool ParseDisplayName(std::string_view, PItemIDList&) override { return false; }
  std::unique_ptr<ShellEnumIDList> EnumObjects(std::uint32_t) override {
    return std::make_unique<ListEnum>(std::vector<std::pair<std::string, ShellFindData>>{}, nullptr);
  }
  ShellFolderPtr BindChild(PCItemIDList) override { return nullptr; }
  std::optional<int> CompareChildren(int, PCItemIDList, PCItemIDList) override { return std::nullopt; }
  bool ChildAttributes(PCItemIDList, std::uint32_t, std::uint32_t&) override { return false; }
  bool ChildName(PCItemIDList, std::uint32_t, std::string&) override { return false; }
};

class ComputerFolder : public FolderBase {
 public:
  bool ParseDisplayName(std::string_view, PItemIDList&) override { return false; }

  std::unique_ptr<ShellEnumIDList> EnumObjects(std::uint32_t flags) override {
    std::vector<std::pair<std::string, ShellFindData>> items;
    if (flags & SHCONTF_FOLDERS) {
      for (const auto& v : ShellVolumes()) {
        ShellFindData fd;
        if (!ValidOsPath(v.mountPoint) || !FindData(v.mountPoint, fd)) continue;
        items.emplace_back(IdBytes(ItemTag::Volume, v.mountPoint), fd);
      }
    }
    return std::make_unique<ListEnum>(std::move(items), nullptr);
  }

  ShellFolderPtr BindChild(PCItemIDList id) override {
    if (TagOf(id) != ItemTag::Volume || !ValidOsPath(BodyOf(id)) || !StatDir(std::string(BodyOf(id))))
      return nullptr;
    return std::make_shared<FileSystemFolder>(std::string(BodyOf(id)), false);
  }

  // Two lists below My Computer name the same object when they lead to the
  // same path, though one may run through a volume's parent volume; so they
  // are ordered as the paths they lead to, an ancestor first, siblings as
  // their folder orders them.
  std::optional<int> CompareIDs(int column, IDListSpan a, IDListSpan b) override {
    if (ValidIDListSize(a) == 0 || ValidIDListSize(b) == 0) return std::nullopt;
    if (CbOf(a.p) == 0 || CbOf(b.p) == 0) return CbOf(a.p) == CbOf(b.p) ? 0 : CbOf(a.p) == 0 ? -1 : 1;
    return ComparePaths(column, a.p, b.p, false);
  }
  std::optional<int> CompareChildren(int column, PCItemIDList a, PCItemIDList b) override {
    return ComparePaths(column, a, b, true);
  }

  bool ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) override {
    if (TagOf(id) != ItemTag::Volume || !ValidOsPath(BodyOf(id))) return false;
    const std::string mp(BodyOf(id));
    if (!StatDir(mp)) return false;
    std::uint32_t a = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET |
                      SFGAO_HASPROPSHEET | SFGAO_CANLINK;
    if ((asked & SFGAO_HASSUBFOLDER) != 0 && FolderHasSubfolder(mp)) a |= SFGAO_HASSUBFOLDER;
    if ((asked & SFGAO_UNREADABLE) != 0 && FolderUnreadable(mp)) a |= SFGAO_UNREADABLE;
    if (KindOf(mp) == VolumeKind::Removable) a |= SFGAO_REMOVABLE;
    if (IsReadOnlyMount(mp)) a |= SFGAO_READONLY;
    attributes = a;
    return true;
  }

  bool ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) override {
    if (TagOf(id) != ItemTag::Volume || !ValidOsPath(BodyOf(id))) return false;
    std::string mp;
    if (!ToCp932(BodyOf(id), mp)) return false;
    if (ForParsing(flags)) {
      name = mp;
      return true;
    }
    const auto volumes = ShellVolumes();
    const ShellVolume* v = VolumeAt(volumes, BodyOf(id));
    std::string label;
    if (v != nullptr && ToCp932(VolumeLabelOf(*v), label) && !label.empty()) {
      name = label + " (" + mp + ")";
    } else {
      name = mp;
    }
    return true;
  }

  bool ChildFindData(PCItemIDList id, ShellFindData& findData) override {
    return TagOf(id) == ItemTag::Volume && ValidOsPath(BodyOf(id)) && FindData(std::string(BodyOf(id)), findData);
  }

  int ChildOverlay(PCItemIDList id) override {
    if (TagOf(id) != ItemTag::Volume || !ValidOsPath(BodyOf(id))) return 0;
    const std::string mp(BodyOf(id));
    if (FolderUnreadable(mp)) return kOverlayUnreadable;
    return IsReadOnlyMount(mp) ? kOverlayReadOnly : 0;
  }

  // The keys of the mount point's steps, each as its folder keys it: a
  // step's key ends where its parse ends, so an ancestor's key is a prefix
  // of its descendants' and sorts first, as ComparePaths orders them.
  bool ChildSortKey(int column, PCItemIDList id, std::string& key) override {
    std::vector<Step> steps;
    if (!Steps(id, true, steps)) return false;
    std::string out;
    std::string dir = "/";
    for (const Step& step : steps) {
      PItemIDList stepId = MakeFsItemID(true, step.name);
      const bool ok = stepId != nullptr && FileSystemFolder(dir, false).ChildSortKey(column, stepId, out);
      ShellFree(stepId);
      if (!ok) return false;
      out += '\0';
      dir = JoinOs(dir, step.name);
    }
    key += out;
    return true;
  }

  static VolumeKind KindOf(const std::string& mountPoint) {
    const auto volumes = ShellVolumes();
    if (const ShellVolume* v = VolumeAt(volumes, mountPoint)) return v->kind;
    return mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/run/media/", 0) == 0 ? VolumeKind::Removable
                                                                                          : VolumeKind::Fixed;
  }

 private:
  static bool FindData(const std::string& mountPoint, ShellFindData& fd) {
    std::string cp;
    return ToCp932(mountPoint, cp) && ShellFindFile(cp, fd);
  }

  struct Step {
    std::string name;
    bool folder;
  };

  // The path a list below My Computer leads to, as names with their kind.
  static bool Steps(PCItemIDList list, bool firstOnly, std::vector<Step>& steps) {
    if (TagOf(list) != ItemTag::Volume || !ValidOsPath(BodyOf(list))) return false;
    const std::string_view mp = BodyOf(list);
    for (std::size_t i = 1; i < mp.size();) {
      std::size_t j = mp.find('/', i);
      if (j == std::string_view::npos) j = mp.size();
      steps.push_back({std::string(mp.substr(i, j - i)), true});
      i = j + 1;
    }
    if (firstOnly) return true;
    for (PCItemIDList id = Next(list); CbOf(id) != 0; id = Next(id)) {
      const std::string_view name = ValidFsNameOf(id);
      if (name.empty()) return false;
      steps.push_back({std::string(name), TagOf(id) == ItemTag::FsFolder});
    }
    return true;
  }

  static std::optional<int> ComparePaths(int column, PCItemIDList a, PCItemIDList b, bool firstOnly) {
    std::vector<Step> sa, sb;
    if (!Steps(a, firstOnly, sa) || !Steps(b, firstOnly, sb)) return std::nullopt;
    std::size_t k = 0;
    std::string dir = "/";
    while (k < sa.size() && k < sb.size() && sa[k].name == sb[k].name && sa[k].folder == sb[k].folder) {
      dir = JoinOs(dir, sa[k].name);
      ++k;
    }
    if (k == sa.size() || k == sb.size()) return sa.size() == sb.size() ? 0 : k == sa.size() ? -1 : 1;
    PItemIDList ia = MakeFsItemID(sa[k].folder, sa[k].name);
    PItemIDList ib = MakeFsItemID(sb[k].folder, sb[k].name);
    std::optional<int> r;
    if (ia != nullptr && ib != nullptr) r = FileSystemFolder(dir, false).CompareChildren(column, ia, ib);
    ShellFree(ia);
    ShellFree(ib);
    return r;
  }
};

class DesktopFolder : public FolderBase {
 public:
  bool ParseDisplayName(std::string_view name, PItemIDList& list) override {
    if (name.empty() || name[0] != '/') return false;
    auto os = ToOsPath(ExpandFileName(name));
    if (!os) return false;
    if (os->size() > 1 && os->back() == '/') os->pop_back();
    return OsPathToList(*os, list);
  }

  std::unique_ptr<ShellEnumIDList> EnumObjects(std::uint32_t flags) override {
    std::vector<std::pair<std::string, ShellFindData>> items;
    if (flags & SHCONTF_FOLDERS) {
      const std::pair<ItemTag, const char*> virtuals[] = {
          {ItemTag::Computer, kComputerName}, {ItemTag::Network, kNetworkName}, {ItemTag::RecycleBin, kRecycleBinName}};
      for (const auto& [tag, label] : virtuals) {
        ShellFindData fd;
        fd.attributes = FILE_ATTRIBUTE_DIRECTORY;
        fd.name = label;
        items.emplace_back(IdBytes(tag, {}), fd);
      }
    }
    return std::make_unique<ListEnum>(std::move(items), Desk().EnumObjects(flags));
  }

  ShellFolderPtr BindChild(PCItemIDList id) override {
    switch (TagOf(id)) {
      case ItemTag::Computer:
        return std::make_shared<ComputerFolder>();
      case ItemTag::Network:
        return std::make_shared<NetworkFolder>();
      case ItemTag::RecycleBin:
        return std::make_shared<FileSystemFolder>(TrashFilesOsPath(), true);
      case ItemTag::FsFile:
      case ItemTag::FsFolder:
        return Desk().BindChild(id);
      default:
        return nullptr;
    }
  }

  // My Computer, the network and the Recycle Bin come first, in that order,
  // then the entries of the desktop directory as that folder orders them.
  std::optional<int> CompareChildren(int column, PCItemIDList a, PCItemIDList b) override {
    const int ra = Rank(TagOf(a)), rb = Rank(TagOf(b));
    if (ra < 0 || rb < 0) return std::nullopt;
    if (ra != rb) return ra < rb ? -1 : 1;
    if (ra < 3) return 0;
    return Desk().CompareChildren(column, a, b);
  }

  bool ChildAttributes(PCItemIDList id, std::uint32_t asked, std::uint32_t& attributes) override {
    switch (TagOf(id)) {
      case ItemTag::Computer:
        attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET;
        return true;
      case ItemTag::Network:
        attributes = SFGAO_FOLDER;
        return true;
      case ItemTag::RecycleBin:
        attributes = SFGAO_FOLDER | SFGAO_DROPTARGET | SFGAO_HASPROPSHEET;
        if ((asked & SFGAO_HASSUBFOLDER) != 0 && FolderHasSubfolder(TrashFilesOsPath()))
          attributes |= SFGAO_HASSUBFOLDER;
        return true;
      case ItemTag::FsFile:
      case ItemTag::FsFolder:
        return Desk().ChildAttributes(id, asked, attributes);
      default:
        return false;
    }
  }

  bool ChildName(PCItemIDList id, std::uint32_t flags, std::string& name) override {
    switch (TagOf(id)) {
      case ItemTag::Computer:
        name = kComputerName;
        return true;
      case ItemTag::Network:
        name = kNetworkName;
        return true;
      case ItemTag::RecycleBin:
        name = kRecycleBinName;
        return true;
      case ItemTag::FsFile:
      case ItemTag::FsFolder:
        return Desk().ChildName(id, flags, name);
      default:
        return false;
    }
  }

  bool RenameChild(PCItemIDList id, std::string_view newName, PItemIDList* newItem) override {
    return IsFsTag(TagOf(id)) && Desk().RenameChild(id, newName, newItem);
  }
  bool ChildFindData(PCItemIDList id, ShellFindData& findData) override {
    return IsFsTag(TagOf(id)) && Desk().ChildFindData(id, findData);
  }
  int ChildOverlay(PCItemIDList id) override { return IsFsTag(TagOf(id)) ? Desk().ChildOverlay(id) : 0; }
  bool ChildSortKey(int column, PCItemIDList id, std::string& key) override {
    const int rank = Rank(TagOf(id));
    if (rank < 0) return false;
    std::string out(1, static_cast<char>(rank));
    if (rank == 3 && !Desk().ChildSortKey(column, id, out)) return false;
    key += out;
    return true;
  }
  // The desktop directory's entries as that folder reads them; the virtual
  // folders carry no facts.
  void ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) override {
    std::vector<IDListSpan> entries;
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (ValidIDListSize(items[i]) != 0 && CbOf(items[i].p) != 0 && IsFsTag(TagOf(items[i].p))) {
        entries.push_back(items[i]);
        at.push_back(i);
      }
    }
    std::vector<FsEntryFacts> read;
    Desk().ReadFacts(entries, read);
    facts.assign(items.size(), {});
    for (std::size_t k = 0; k < at.size(); ++k) facts[at[k]] = read[k];
  }

  bool SelfAttributes(std::uint32_t& attributes) override {
    attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_DROPTARGET |
                 SFGAO_HASPROPSHEET;
    return true;
  }
  bool SelfName(std::uint32_t flags, std::string& name) override {
    if (ForParsing(flags)) return ToCp932(DesktopOsPath(), name);
    name = kDesktopName;
    return true;
  }

 private:
  static int Rank(ItemTag tag) {
    switch (tag) {
      case ItemTag::Computer: return 0;
      case ItemTag::Network: return 1;
      case ItemTag::RecycleBin: return 2;
      case ItemTag::FsFile:
      case ItemTag::FsFolder: return 3;
      default: return -1;
    }
  }
  // The desktop directory, looked up afresh each time.
  static FileSystemFolder Desk() { return FileSystemFolder(DesktopOsPath(), false); }
};

}  // namespace

// --- FolderBase -----------------------------------------------------------------

ShellFolderPtr FolderBase::BindToObject(PCItemIDList relative) {
  if (ValidIDListSize(relative) == 0 || CbOf(relative) == 0) return nullptr;
  ShellFolderPtr f = BindChild(relative);
  for (PCItemIDList id = Next(relative); f != nullptr && CbOf(id) != 0; id = Next(id))
    f = static_cast<FolderBase*>(f.get())->BindChild(id);
  return f;
}

std::optional<int> FolderBase::CompareIDs(int column, IDListSpan a, IDListSpan b) {
  if (ValidIDListSize(a) == 0 || ValidIDListSize(b) == 0) return std::nullopt;
  if (CbOf(a.p) == 0 || CbOf(b.p) == 0) return CbOf(a.p) == CbOf(b.p) ? 0 : CbOf(a.p) == 0 ? -1 : 1;
  auto r = CompareChildren(column, a.p, b.p);
  if (!r || *r != 0) return r;
  const IDListSpan na{Next(a.p), a.room - CbOf(a.p)}, nb{Next(b.p), b.room - CbOf(b.p)};
  if (CbOf(na.p) == 0 || CbOf(nb.p) == 0) return CbOf(na.p) == CbOf(nb.p) ? 0 : CbOf(na.p) == 0 ? -1 : 1;
  ShellFolderPtr f = BindChild(a.p);
  if (!f) return std::nullopt;
  return f->CompareIDs(column, na, nb);
}

bool FolderBase::GetAttributesOf(std::span<const IDListSpan> items, std::uint32_t& attributes) {
  if (items.empty()) return false;
  const std::uint32_t asked = attributes;
  std::uint32_t all = ~0u;
  for (const IDListSpan& span : items) {
    if (ValidIDListSize(span) == 0) return false;
    const PCItemIDList item = span.p;
    std::uint32_t a = 0;
    const bool ok = CbOf(item) == 0 ? SelfAttributes(a) : WithLast(this, item, [&](FolderBase& f, PCItemIDList id) {
      return f.ChildAttributes(id, asked, a);
    });
    if (!ok) return false;
    all &= a;
  }
  attributes = all & asked;
  return true;
}

bool FolderBase::GetDisplayNameOf(PCItemIDList item, std::uint32_t flags, std::string& name) {
  if (ValidIDListSize(item) == 0) return false;
  if (CbOf(item) == 0) return SelfName(flags, name);
  return WithLast(this, item, [&](FolderBase& f, PCItemIDList id) { return f.ChildName(id, flags, name); });
}

bool FolderBase::SetNameOf(PCItemIDList item, std::string_view newName, std::uint32_t, PItemIDList* newItem) {
  if (ValidIDListSize(item) == 0 || CbOf(item) == 0 || !IsLast(item)) return false;
  return RenameChild(item, newName, newItem);
}

bool FolderBase::GetFindData(PCItemIDList item, ShellFindData& findData) {
  if (ValidIDListSize(item) == 0 || CbOf(item) == 0) return false;
  return WithLast(this, item, [&](FolderBase& f, PCItemIDList id) { return f.ChildFindData(id, findData); });
}

bool FolderBase::SortKey(int column, IDListSpan item, std::string& key) {
  if (ValidIDListSize(item) == 0 || CbOf(item.p) == 0) return false;
  return ChildSortKey(column, item.p, key);
}

void FolderBase::ReadFacts(std::span<const IDListSpan> items, std::vector<FsEntryFacts>& facts) {
  facts.assign(items.size(), {});
}

std::optional<int> FolderBase::GetOverlayIndex(PCItemIDList item) {
  if (ValidIDListSize(item) == 0 || CbOf(item) == 0) return 0;
  int overlay = 0;
  WithLast(this, item, [&](FolderBase& f, PCItemIDList id) {
    overlay = f.ChildOverlay(id);
    return true;
  });
  return overlay;
}

bool FolderBase::RenameChild(PCItemIDList, std::string_view, PItemIDList*) { return false; }
int FolderBase::ChildOverlay(PCItemIDList) { return 0; }
bool FolderBase::ChildFindData(PCItemIDList, ShellFindData&) { return false; }
bool FolderBase::ChildSortKey(int, PCItemIDList, std::string&) { return false; }
bool FolderBase::SelfAttributes(std::uint32_t&) { return false; }
bool FolderBase::SelfName(std::uint32_t, std::string&) { return false; }

}  // namespace shellns

// --- Entry points -----------------------------------------------------------------

bool ShellFolder::GetAttributesOf(std::span<const PCItemIDList> items, std::uint32_t& attributes) {
  std::vector<IDListSpan> spans;
  spans.reserve(items.size());
  for (PCItemIDList item : items) spans.push_back(SpanOf(item));
  return GetAttributesOf(std::span<const IDListSpan>(spans), attributes);
}

ShellFolderPtr ShellGetDesktopFolder() {
  static const ShellFolderPtr desktop = std::make_shared<shellns::DesktopFolder>();
  return desktop;
}

bool ShellGetSpecialFolderLocation(int csidl, PItemIDList& list) {
  using shellns::IdBytes;
  using shellns::ListOf;
  PItemIDList l = nullptr;
  switch (csidl) {
    case CSIDL_DESKTOP:
      l = ListOf({});
      break;
    case CSIDL_BITBUCKET:
      l = ListOf(IdBytes(ItemTag::RecycleBin, {}));
      break;
    case CSIDL_DRIVES:
      l = ListOf(IdBytes(ItemTag::Computer, {}));
      break;
    case CSIDL_NETWORK:
      l = ListOf(IdBytes(ItemTag::Network, {}));
      break;
    case CSIDL_DESKTOPDIRECTORY:
      if (!shellns::OsPathToList(DesktopOsPath(), l)) shellns::OsPathToList("/", l);
      break;
    case CSIDL_PERSONAL:
      shellns::OsPathToList(HomeOsPath(), l);
      break;
    case CSIDL_APPDATA:
      if (shellns::StatDir(ConfigHomeOsPath())) shellns::OsPathToList(ConfigHomeOsPath(), l);
      break;
    default:
      break;
  }
  if (l == nullptr) return false;
  list = l;
  return true;
}

bool ShellOpenItem(PCItemIDList absolute) {
  std::string path;
  if (ShellGetPathFromIDList(absolute, path)) {
    if (IsPlainCp932Name(path)) return ShellOpen(path);
    // A name with no CP932 form goes as the file URI of its bytes, which
    // is ASCII.
    const std::optional<std::string> os = ToOsPath(path);
    if (!os) return false;
    std::string uri = UriListOf({*os});
    while (!uri.empty() && (uri.back() == '\n' || uri.back() == '\r')) uri.pop_back();
    return ShellOpen(uri);
  }
  if (ValidIDListSize(absolute) == 0 || CbOf(absolute) == 0 || CbOf(absolute + CbOf(absolute)) != 0) return false;
  switch (TagOf(absolute)) {
    case ItemTag::Computer: return ShellOpen("computer:///");
    case ItemTag::Network: return ShellOpen("network:///");
    case ItemTag::RecycleBin: return ShellOpen("trash:///");
    default: return false;
  }
}

bool ShellGetPathFromIDList(PCItemIDList absolute, std::string& path) {
  using namespace shellns;
  if (ValidIDListSize(absolute) == 0) return false;
  std::string os;
  PCItemIDList id = absolute;
  if (CbOf(id) == 0) return ToCp932(DesktopOsPath(), path);
  switch (TagOf(id)) {
    case ItemTag::Computer:
      id = Next(id);
      if (CbOf(id) == 0 || TagOf(id) != ItemTag::Volume || !ValidOsPath(BodyOf(id))) return false;
      os = BodyOf(id);
      id = Next(id);
      break;
    case ItemTag::RecycleBin:
      os = TrashFilesOsPath();
      id = Next(id);
      if (CbOf(id) == 0) return false;  // the Trash itself has no path of its own
      break;
    case ItemTag::FsFile:
    case ItemTag::FsFolder:
      os = DesktopOsPath();
      break;
    default:
      return false;
  }
  for (; CbOf(id) != 0; id = Next(id)) {
    const std::string_view name = ValidFsNameOf(id);
    if (name.empty()) return false;
    os = JoinOs(os, name);
  }
  return ToCp932(os, path);
}

}  // namespace tavo
