#include "platform/shell/ShellFindData.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/files/Files.h"
#include "platform/text/OsPath.h"

namespace tavo {

std::string AttributeLetters(std::uint32_t attributes) {
  std::string s;
  if (attributes & FILE_ATTRIBUTE_READONLY) s += 'R';
  if (attributes & FILE_ATTRIBUTE_HIDDEN) s += 'H';
  if (attributes & FILE_ATTRIBUTE_SYSTEM) s += 'S';
  if (attributes & FILE_ATTRIBUTE_ARCHIVE) s += 'A';
  return s;
}
namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDelta = 11644473600LL;

bool InGroup(gid_t gid) {
  static const gid_t egid = ::getegid();
  if (gid == egid) return true;
  static const std::vector<gid_t> groups = [] {
    std::vector<gid_t> g;
    int n = ::getgroups(0, nullptr);
    if (n > 0) {
      g.resize(static_cast<std::size_t>(n));
      n = ::getgroups(n, g.data());
      g.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    }
    return g;
  }();
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The permission bits of the class the process falls in decide, not the
// superuser's power to write anything: like a read-only mark, a 0444 file
// reads as read-only to everyone.
bool WritableByUs(const struct stat& st) {
  // The process's user stays what it was when the program started.
  static const uid_t uid = ::geteuid();
  if (uid == 0 || uid == st.st_uid) return (st.st_mode & S_IWUSR) != 0;
  if (InGroup(st.st_gid)) return (st.st_mode & S_IWGRP) != 0;
  return (st.st_mode & S_IWOTH) != 0;
}

}  // namespace

std::uint64_t FileTimeFromTimespec(const struct timespec& t) {
  const std::int64_t secs = static_cast<std::int64_t>(t.tv_sec) + kEpochDelta;
  if (secs < 0) return 0;
  return static_cast<std::uint64_t>(secs) * 10000000ULL + static_cast<std::uint64_t>(t.tv_nsec / 100);
}

ShellFindData FindDataFromStat(const struct stat& st, std::string_view name, bool readOnlyMount) {
  ShellFindData fd;
  fd.name = std::string(name);
  if (S_ISDIR(st.st_mode)) {
    fd.attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) {
    fd.attributes |= FILE_ATTRIBUTE_SYSTEM;
  } else {
    fd.attributes |= FILE_ATTRIBUTE_ARCHIVE;
    fd.size = static_cast<std::uint64_t>(st.st_size);
  }
  if (!name.empty() && name[0] == '.') fd.attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (readOnlyMount || !WritableByUs(st)) fd.attributes |= FILE_ATTRIBUTE_READONLY;
  fd.writeTime = FileTimeFromTimespec(st.st_mtim);
  return fd;
}

bool ShellFindFile(std::string_view path, ShellFindData& findData) {
  auto os = ToOsPath(path);
  if (!os) return false;
  struct stat st {};
  if (::stat(os->c_str(), &st) != 0 && ::lstat(os->c_str(), &st) != 0) return false;
  struct statvfs vfs {};
  const bool ro = ::statvfs(os->c_str(), &vfs) == 0 && (vfs.f_flag & ST_RDONLY) != 0;
  std::string_view p = path;
  while (p.size() > 1 && p.back() == '/') p.remove_suffix(1);
  const std::string name = p == "/" ? std::string("/") : ExtractFileName(p);
  findData = FindDataFromStat(st, name, ro);
  return true;
}

}  // namespace tavo
