#include "platform/shell/FileTree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/files/Files.h"
#include "platform/shell/MountMonitor.h"

namespace tavo {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

// A descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes it, answering the close's error (0 when it went well).
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
  }

 private:
  int fd_;
};

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The names in a folder (not "." and ".."), read before anything in it
// changes. False with errno set when it cannot be read.
bool Names(int folderFd, std::vector<std::string>& names) {
  const int dup = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  if (dup < 0) return false;
  DIR* dir = ::fdopendir(dup);
  if (dir == nullptr) {
    const int saved = errno;
    ::close(dup);
    errno = saved;
    return false;
  }
  ::rewinddir(dir);
  errno = 0;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view n = e->d_name;
    if (n != "." && n != "..") names.emplace_back(n);
    errno = 0;
  }
  const int error = errno;
  ::closedir(dir);
  errno = error;
  return error == 0;
}

int OpenFolder(int parentFd, const char* name) {
  return ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Whether the effective user may remove `name` of the folder `parent`
// (whose status is `ps`): write and search on the folder, and where it is
// sticky, the entry or the folder must be the user's.
int RemovalError(int parentFd, const struct stat& ps, const struct stat& st) {
  if (::faccessat(parentFd, ".", W_OK | X_OK, AT_EACCESS) != 0) return errno;
  const uid_t me = ::geteuid();
  if ((ps.st_mode & S_ISVTX) != 0 && me != 0 && st.st_uid != me && ps.st_uid != me) return EPERM;
  return 0;
}

void SurveyEntry(int parentFd, const struct stat& ps, const char* name, dev_t dev, bool forMove,
                 const FileOpProgress* progress, TreeSurvey& s) {
  if (s.error != 0) return;
  if (progress != nullptr && progress->Cancelled()) {
    s.error = ECANCELED;
    return;
  }
  struct stat st {};
  if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    s.error = errno;
    return;
  }
  if (forMove) {
    if (int e = RemovalError(parentFd, ps, st)) {
      s.error = e;
      return;
    }
  }
  if (st.st_dev != dev) {
    s.crossesDevice = true;
    return;
  }
  if (!S_ISDIR(st.st_mode)) {
    ++s.files;
    if (S_ISREG(st.st_mode)) {
      s.bytes += static_cast<std::uint64_t>(st.st_size);
      if (::faccessat(parentFd, name, R_OK, AT_EACCESS) != 0) s.error = errno;
    } else if (!S_ISLNK(st.st_mode) && !S_ISFIFO(st.st_mode)) {
      s.error = EINVAL;  // a device or a socket is not copied
    }
    return;
  }
  Fd folder(OpenFolder(parentFd, name));
  std::vector<std::string> names;
  if (!folder || ::faccessat(folder.get(), ".", R_OK | X_OK, AT_EACCESS) != 0 || !Names(folder.get(), names)) {
    s.error = errno;
    return;
  }
  for (const std::string& n : names) SurveyEntry(folder.get(), st, n.c_str(), dev, forMove, progress, s);
}

struct CopyContext {
  bool keepOwner = false;
  FileOpProgress* progress = nullptr;
  std::vector<char> buffer;
  std::string path;  // of the source entry now copied
};

bool Cancelled(const CopyContext& c) { return c.progress != nullptr && c.progress->Cancelled(); }

void Step(CopyContext& c, std::uint64_t files, std::uint64_t bytes) {
  if (c.progress != nullptr) c.progress->AddDone(files, bytes);
}

// Best effort: a file system that holds no owner or bits (a memory stick's)
// takes the copy all the same.
void SetOwnerAndBits(int fd, const struct stat& st, bool keepOwner) {
  if (keepOwner) (void)!::fchown(fd, st.st_uid, st.st_gid);
  (void)::fchmod(fd, st.st_mode & 07777);
}

int SetTimes(int fd, const struct stat& st) {
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  return ::futimens(fd, times) == 0 ? 0 : errno;
}

int CopyData(int in, int out, CopyContext& c) {
  bool ranged = true;  // copy_file_range until the file systems refuse it
  for (;;) {
    if (Cancelled(c)) return ECANCELED;
    ssize_t n;
    if (ranged) {
      n = ::copy_file_range(in, nullptr, out, nullptr, kBlock, 0);
      if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF)) {
        ranged = false;
        continue;
      }
    } else {
      if (c.buffer.empty()) c.buffer.resize(kBlock);
      n = ::read(in, c.buffer.data(), c.buffer.size());
      if (n > 0) {
        const char* p = c.buffer.data();
        std::size_t left = static_cast<std::size_t>(n);
        while (left > 0) {
          const ssize_t w = ::write(out, p, left);
          if (w < 0) {
            if (errno == EINTR) continue;
            return errno;
          }
          p += w;
          left -= static_cast<std::size_t>(w);
        }
      }
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    Step(c, 0, static_cast<std::uint64_t>(n));
  }
}

int CopyEntry(int srcParent, const std::string& name, int dstParent, const std::string& dstName, CopyContext& c,
              bool deferAttributes);

int CopyFile(int srcParent, const std::string& name, const struct stat& st, int dstParent,
             const std::string& dstName, CopyContext& c) {
  Fd in(::openat(srcParent, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!in) return errno;
  struct stat now {};
  if (::fstat(in.get(), &now) != 0) return errno;
  if (now.st_ino != st.st_ino || now.st_dev != st.st_dev) return EAGAIN;  // replaced meanwhile
  Fd out(::openat(dstParent, dstName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!out) return errno;
  if (int e = CopyData(in.get(), out.get(), c)) return e;
  SetOwnerAndBits(out.get(), now, c.keepOwner);
  if (int e = SetTimes(out.get(), now)) return e;
  if (int e = SyncDescriptor(out.get())) return e;
  if (int e = out.Close()) return e;
  Step(c, 1, 0);
  return 0;
}

int CopyFolder(int srcParent, const std::string& name, const struct stat& st, int dstParent,
               const std::string& dstName, CopyContext& c, bool deferAttributes) {
  Fd src(OpenFolder(srcParent, name.c_str()));
  if (!src) return errno;
  std::vector<std::string> names;
  if (!Names(src.get(), names)) return errno;
  if (::mkdirat(dstParent, dstName.c_str(), 0700) != 0) return errno;
  Fd dst(OpenFolder(dstParent, dstName.c_str()));
  if (!dst) return errno;
  const std::size_t pathSize = c.path.size();
  for (const std::string& n : names) {
    c.path.resize(pathSize);
    c.path += "/" + n;
    if (int e = CopyEntry(src.get(), n, dst.get(), n, c, false)) return e;
  }
  c.path.resize(pathSize);
  if (!deferAttributes) {
    // After the entries, which changed the folder's times.
    SetOwnerAndBits(dst.get(), st, c.keepOwner);
    if (int e = SetTimes(dst.get(), st)) return e;
  }
  return SyncDescriptor(dst.get());
}

int CopyLink(int srcParent, const std::string& name, const struct stat& st, int dstParent,
             const std::string& dstName, CopyContext& c) {
  std::string target(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 256, '\0');
  for (;;) {
    const ssize_t n = ::readlinkat(srcParent, name.c_str(), target.data(), target.size());
    if (n < 0) return errno;
    if (static_cast<std::size_t>(n) < target.size()) {
      target.resize(static_cast<std::size_t>(n));
      break;
    }
    target.resize(target.size() * 2);  // the link changed meanwhile
  }
  if (::symlinkat(target.c_str(), dstParent, dstName.c_str()) != 0) return errno;
  if (c.keepOwner) (void)!::fchownat(dstParent, dstName.c_str(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW);
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (::utimensat(dstParent, dstName.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  Step(c, 1, 0);
  return 0;
}

int CopyEntry(int srcParent, const std::string& name, int dstParent, const std::string& dstName, CopyContext& c,
              bool deferAttributes) {
  if (Cancelled(c)) return ECANCELED;
  struct stat st {};
  if (::fstatat(srcParent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (c.progress != nullptr && !S_ISDIR(st.st_mode)) c.progress->SetCurrentName(c.path);
  if (S_ISREG(st.st_mode)) return CopyFile(srcParent, name, st, dstParent, dstName, c);
  if (S_ISDIR(st.st_mode)) return CopyFolder(srcParent, name, st, dstParent, dstName, c, deferAttributes);
  if (S_ISLNK(st.st_mode)) return CopyLink(srcParent, name, st, dstParent, dstName, c);
  if (S_ISFIFO(st.st_mode)) {
    if (::mkfifoat(dstParent, dstName.c_str(), 0600) != 0) return errno;
    Fd fifo(::openat(dstParent, dstName.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!fifo) return errno;
    SetOwnerAndBits(fifo.get(), st, c.keepOwner);
    if (int e = SetTimes(fifo.get(), st)) return e;
    Step(c, 1, 0);
    return 0;
  }
  return EINVAL;  // a device or a socket
}

int RemoveEntry(int parentFd, const char* name, dev_t dev, bool ownTemporary) {
  struct stat st {};
  if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
  if (st.st_dev != dev) return EXDEV;
  if (!S_ISDIR(st.st_mode)) return ::unlinkat(parentFd, name, 0) == 0 || errno == ENOENT ? 0 : errno;
  int first = 0;
  {
    Fd folder(OpenFolder(parentFd, name));
    if (!folder) return errno;
    if (ownTemporary) (void)::fchmod(folder.get(), 0700);
    std::vector<std::string> names;
    if (!Names(folder.get(), names)) first = errno;
    for (const std::string& n : names) {
      const int e = RemoveEntry(folder.get(), n.c_str(), dev, ownTemporary);
      if (first == 0) first = e;
    }
  }
  if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && errno != ENOENT && first == 0) first = errno;
  return first;
}

}  // namespace

std::string FileOpProgress::CurrentName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return current_;
}

void FileOpProgress::AddTotals(std::uint64_t files, std::uint64_t bytes) {
  totalFiles_ += files;
  totalBytes_ += bytes;
}

void FileOpProgress::AddDone(std::uint64_t files, std::uint64_t bytes) {
  doneFiles_ += files;
  doneBytes_ += bytes;
  if (OnStep) OnStep(*this);
}

void FileOpProgress::SetCurrentName(std::string name) {
  std::lock_guard<std::mutex> lock(mutex_);
  current_ = std::move(name);
}

TreeSurvey SurveyTree(const std::string& osPath, bool forMove, const FileOpProgress* progress) {
  TreeSurvey s;
  Fd parent(::open(ParentOf(osPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat ps {}, st {};
  const std::string name = BaseName(osPath);
  if (!parent || ::fstat(parent.get(), &ps) != 0 ||
      ::fstatat(parent.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    s.error = errno;
    return s;
  }
  SurveyEntry(parent.get(), ps, name.c_str(), st.st_dev, forMove, progress, s);
  return s;
}

int CopyTree(const std::string& osPath, int targetFolderFd, const std::string& name, bool keepOwner,
             bool deferTopAttributes, FileOpProgress* progress) {
  Fd parent(::open(ParentOf(osPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return errno;
  CopyContext c;
  c.keepOwner = keepOwner;
  c.progress = progress;
  c.path = osPath;
  return CopyEntry(parent.get(), BaseName(osPath), targetFolderFd, name, c, deferTopAttributes);
}

int ApplyTreeAttributes(const std::string& osSource, const std::string& osTarget, bool keepOwner) {
  struct stat st {};
  if (::lstat(osSource.c_str(), &st) != 0) return errno;
  Fd target(::open(osTarget.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!target) return errno;
  SetOwnerAndBits(target.get(), st, keepOwner);
  if (int e = SetTimes(target.get(), st)) return e;
  return SyncDescriptor(target.get());
}

int RemoveTree(const std::string& osPath, bool ownTemporary) {
  Fd parent(::open(ParentOf(osPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!parent) return errno;
  struct stat st {};
  const std::string name = BaseName(osPath);
  if (::fstatat(parent.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
  return RemoveEntry(parent.get(), name.c_str(), st.st_dev, ownTemporary);
}

bool HoldsMountPoint(const std::string& osPath) {
  std::string text;
  if (ReadWholeFile("/proc/self/mountinfo", text) != 0) return false;
  const std::string below = osPath == "/" ? osPath : osPath + "/";
  for (const MountTableEntry& e : ParseMountTable(text))
    if (e.mountPoint == osPath || e.mountPoint.rfind(below, 0) == 0) return true;
  return false;
}

std::string RealEntryPath(const std::string& osPath) {
  std::unique_ptr<char, decltype(&std::free)> parent(::realpath(ParentOf(osPath).c_str(), nullptr), &std::free);
  if (!parent) return osPath;
  const std::string p = parent.get();
  return (p == "/" ? std::string() : p) + "/" + BaseName(osPath);
}

int SyncFolder(const std::string& osFolder) {
  Fd fd(::open(osFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd) return errno;
  return SyncDescriptor(fd.get());
}

}  // namespace tavo
