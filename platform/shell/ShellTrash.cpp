#include "platform/shell/ShellTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>

#include "platform/files/Files.h"
#include "platform/shell/FileTree.h"
#include "platform/shell/ShellFileOperation.h"
#include "platform/shell/ShellSpecialFolders.h"

namespace fs = std::filesystem;

namespace tavo {
namespace {

struct TrashDir {
  std::string root;     // holds files/ and info/
  std::string topdir;   // for a volume's Trash: Path is relative to it; empty for the home's
};

// The device of a folder that may not exist yet: that of its nearest
// existing ancestor.
dev_t DeviceOfFolder(std::string path) {
  while (true) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_dev;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || path == "/") return 0;
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

// The mount point of the volume that holds `path`: the last ancestor on
// the same device.
std::string TopDirOf(const std::string& path, dev_t dev) {
  std::string top = path;
  while (top != "/") {
    const std::size_t slash = top.rfind('/');
    const std::string up = slash == 0 ? "/" : top.substr(0, slash);
    struct stat st {};
    if (::stat(up.c_str(), &st) != 0 || st.st_dev != dev) break;
    top = up;
  }
  return top;
}

bool MakeTrashFolders(const std::string& root) {
  for (const std::string& d : {root, root + "/files", root + "/info"}) {
    if (::mkdir(d.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(d.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(d.c_str(), W_OK | X_OK) != 0) return false;
  }
  return true;
}

// The home's Trash, with the data folder above it made first (only the
// user may enter it, as the data folder should be). 0 or an errno value.
int MakeHomeTrash(const std::string& root) {
  const std::string data = root.substr(0, root.rfind('/'));
  struct stat st {};
  if (::stat(data.c_str(), &st) != 0) {
    std::error_code ec;
    fs::create_directories(data, ec);
    if (!ec) fs::permissions(data, fs::perms::owner_all, ec);
    if (ec) return ec.value();
  }
  if (MakeTrashFolders(root)) return 0;
  return errno != 0 ? errno : EACCES;
}

std::string HomeTrashRoot() {
  std::string files = TrashFilesOsPath();
  return files.substr(0, files.size() - 6);  // without "/files"
}

// The volume's own Trash of `topdir`, when one can be used.
std::optional<TrashDir> VolumeTrash(const std::string& topdir) {
  const std::string uid = std::to_string(::getuid());
  const std::string base = topdir == "/" ? std::string() : topdir;
  struct stat st {};
  const std::string shared = base + "/.Trash";
  if (::lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0) {
    if (MakeTrashFolders(shared + "/" + uid)) return TrashDir{shared + "/" + uid, topdir};
  }
  const std::string own = base + "/.Trash-" + uid;
  if (MakeTrashFolders(own)) return TrashDir{own, topdir};
  return std::nullopt;
}

std::string PercentEncode(std::string_view path) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~' || c == '/';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    }
  }
  return out;
}

std::string Now() {
  const std::time_t t = std::time(nullptr);
  std::tm local {};
  ::localtime_r(&t, &local);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
  return buf;
}

std::string StemAndNumber(const std::string& name, int n) {
  if (n == 1) return name;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return name + "." + std::to_string(n);
  return name.substr(0, dot) + "." + std::to_string(n) + name.substr(dot);
}

// Writes the info file under a name no other object holds (O_EXCL reserves
// it), synced before the object follows, and answers that name; empty on
// failure (errno value in `error`).
std::string ReserveInfo(const TrashDir& trash, const std::string& name, const std::string& pathKey, int& error) {
  const std::string body = "[Trash Info]\nPath=" + PercentEncode(pathKey) + "\nDeletionDate=" + Now() + "\n";
  for (int n = 1; n < 10000; ++n) {
    const std::string candidate = StemAndNumber(name, n);
    struct stat st {};
    if (::lstat((trash.root + "/files/" + candidate).c_str(), &st) == 0) continue;
    const std::string info = trash.root + "/info/" + candidate + ".trashinfo";
    const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      error = errno;
      return {};
    }
    const bool written = ::write(fd, body.data(), body.size()) == static_cast<ssize_t>(body.size());
    error = written ? SyncDescriptor(fd) : (errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) return candidate;
    ::unlink(info.c_str());
    return {};
  }
  error = EEXIST;
  return {};
}

FileOpItem MoveInto(const TrashDir& trash, const std::string& source, const std::string& absolute,
                    FileOpProgress* progress) {
  const std::string name = fs::path(absolute).filename().string();
  std::string key = absolute;
  if (!trash.topdir.empty()) {
    // Relative to the volume's top (which the object lies below).
    const std::size_t skip = trash.topdir == "/" ? 1 : trash.topdir.size() + 1;
    if (absolute.size() <= skip) return {source, FileOpOutcome::MountPoint, 0};
    key = absolute.substr(skip);
  }
  int error = 0;
  const std::string reserved = ReserveInfo(trash, name, key, error);
  if (reserved.empty()) return {source, FileOpOutcome::Failed, error};
  FileOpItem item = MoveWithoutReplacing(absolute, trash.root + "/files/" + reserved, progress);
  item.source = source;
  // Whatever reached the Trash is whole and keeps its info.
  if (item.outcome == FileOpOutcome::Done || item.outcome == FileOpOutcome::SourceLeft) return item;
  ::unlink((trash.root + "/info/" + reserved + ".trashinfo").c_str());
  if (item.outcome == FileOpOutcome::NameTaken) item = {source, FileOpOutcome::Failed, EEXIST};
  return item;
}

}  // namespace

FileOpItem MoveToTrash(const std::string& osPath, FileOpProgress* progress) {
  std::error_code ec;
  std::string normal = fs::absolute(osPath, ec).lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  if (ec || normal.empty() || normal == "/") return {osPath, FileOpOutcome::MountPoint, 0};
  const std::string absolute = RealEntryPath(normal);
  struct stat st {}, parent {};
  if (::lstat(absolute.c_str(), &st) != 0) return {osPath, FileOpOutcome::Failed, errno};
  // A volume (or a folder that holds one) stays mounted where it is.
  if (::stat(fs::path(absolute).parent_path().c_str(), &parent) != 0) return {osPath, FileOpOutcome::Failed, errno};
  if (S_ISDIR(st.st_mode) && (parent.st_dev != st.st_dev || HoldsMountPoint(absolute)))
    return {osPath, FileOpOutcome::MountPoint, 0};
  const std::string homeRoot = HomeTrashRoot();
  if (IsSameOrBelow(homeRoot, absolute)) return {osPath, FileOpOutcome::Failed, EINVAL};  // the Trash, or above it
  if (DeviceOfFolder(homeRoot) != st.st_dev) {
    if (auto volume = VolumeTrash(TopDirOf(absolute, st.st_dev))) return MoveInto(*volume, osPath, absolute, progress);
  }
  // On the home's volume, or on one without a Trash of its own: the home's
  // Trash (a whole copy across volumes).
  if (int e = MakeHomeTrash(homeRoot)) return {osPath, FileOpOutcome::Failed, e};
  return MoveInto({homeRoot, {}}, osPath, absolute, progress);
}

}  // namespace tavo
