#include "platform/files/FolderListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tavo {
namespace {

void Classify(const struct stat& st, FolderEntry& e) {
  e.IsFile = S_ISREG(st.st_mode);
  e.IsFolder = S_ISDIR(st.st_mode);
  if (e.IsFolder) {
    e.Device = static_cast<std::uint64_t>(st.st_dev);
    e.Inode = static_cast<std::uint64_t>(st.st_ino);
  }
}

}  // namespace

int ListFolder(const std::string& osPath, std::vector<FolderEntry>& entries) {
  entries.clear();
  const int fd = ::open(osPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int error = errno;
    ::close(fd);
    return error;
  }
  int error = 0;
  for (;;) {
    errno = 0;
    const dirent* d = ::readdir(dir);
    if (d == nullptr) {
      error = errno;
      break;
    }
    if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
    FolderEntry e;
    e.Name = d->d_name;
    if (d->d_type == DT_REG) {
      e.IsFile = true;  // a regular file needs no stat
    } else if (d->d_type == DT_DIR || d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(fd, d->d_name, &st, 0) == 0) Classify(st, e);  // a dangling link is neither
    }
    entries.push_back(std::move(e));
  }
  ::closedir(dir);  // closes fd
  if (error != 0) {
    entries.clear();
    return error;
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.Name < b.Name; });
  return 0;
}

int FolderIdentity(const std::string& osPath, std::uint64_t& device, std::uint64_t& inode) {
  struct stat st;
  if (::stat(osPath.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  device = static_cast<std::uint64_t>(st.st_dev);
  inode = static_cast<std::uint64_t>(st.st_ino);
  return 0;
}

}  // namespace tavo
