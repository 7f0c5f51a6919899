#include "platform/files/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <sys/file.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "platform/text/OsPath.h"

namespace tavo {
namespace {

int CloseKeepingErrno(int fd) {
  int saved = errno;
  ::close(fd);
  errno = saved;
  return saved;
}

// write(2) until every byte is out; a short write is not an error by itself.
bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// read(2) until `size` bytes are in or the file ends: the count (less than
// `size` only at the end), or -1 with errno set.
ssize_t ReadUpTo(int fd, char* p, size_t size) {
  size_t got = 0;
  while (got < size) {
    ssize_t n = ::read(fd, p + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

// 0 for a regular file, else the error that refuses it.
int RegularFileError(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return 0;
  return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

std::string OsFolderOf(const std::string& osPath) {
  size_t slash = osPath.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return osPath.substr(0, slash);
}

std::atomic<unsigned long long> g_syncs{0};

// Temporaries of a file are named after it, so that the ones a crash left can
// be told from anything else in its folder: ".<name>.~tavo<pid>-<n>.tmp".
std::string TempPrefixOf(const std::string& osTarget) {
  return "." + osTarget.substr(osTarget.rfind('/') + 1) + ".~tavo";
}
constexpr std::string_view kTempSuffix = ".tmp";

// A name no other writer picks: the process id tells processes apart, the
// counter threads and calls; O_EXCL catches a leftover of a crashed process.
std::string TempNameFor(const std::string& osTarget) {
  static std::atomic<unsigned> counter{0};
  return OsFolderOf(osTarget) + "/" + TempPrefixOf(osTarget) + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + std::string(kTempSuffix);
}

// Makes a rename in the folder durable; the data itself is already safe.
void SyncFolder(const std::string& osFolder) {
  int fd = ::open(osFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  SyncDescriptor(fd);
  ::close(fd);
}

// The target of a chain of symbolic links, as ResolveFileLinks: 0, or ELOOP
// when the chain loops, the error of a link that cannot be read, or, for a
// write, kForeignLinkError at a link that MayFollowLinkToWrite refuses.
int ResolveOsLinks(std::string path, bool forWrite, std::string& target) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      target = std::move(path);
      return 0;
    }
    if (forWrite) {
      struct stat folder;
      if (::stat(OsFolderOf(path).c_str(), &folder) != 0) return errno;
      if (!MayFollowLinkToWrite({st.st_uid, folder.st_uid, folder.st_mode, ::geteuid()})) return kForeignLinkError;
    }
    std::string link(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 256, '\0');
    for (;;) {
      ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
      if (n < 0) return errno;
      if (static_cast<size_t>(n) < link.size()) {
        link.resize(static_cast<size_t>(n));
        break;
      }
      link.resize(link.size() * 2);  // the link changed meanwhile
    }
    path = !link.empty() && link[0] == '/' ? link : OsFolderOf(path) + "/" + link;
  }
  return ELOOP;
}

// The file the running program was started from.
std::string ExecutableOsPath() {
  std::string exe(256, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n < 0) return "";
    if (static_cast<size_t>(n) < exe.size()) {
      exe.resize(static_cast<size_t>(n));
      return exe;
    }
    exe.resize(exe.size() * 2);  // possibly cut: try again with more room
  }
}

std::string StripTrailingSlashes(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

std::string HomeFolderOs() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  std::vector<char> buf(16384);
  passwd pw;
  passwd* found = nullptr;
  if (getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return "";
}

}  // namespace

bool FileExists(std::string_view path) {
  auto os = ToOsPath(path);
  struct stat st;
  return os && ::stat(os->c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
  auto os = ToOsPath(path);
  struct stat st;
  return os && ::stat(os->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SetCurrentDirectory(std::string_view path) {
  auto os = ToOsPath(path);
  return os && !os->empty() && ::chdir(os->c_str()) == 0;
}

bool DeleteFile(std::string_view path) {
  auto os = ToOsPath(path);
  return os && ::unlink(os->c_str()) == 0;
}

int OpenRegularFile(std::string_view path, int flags, int& fd) {
  fd = -1;
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  // Checked before opening, so that a device is never opened (opening some
  // devices acts on them), and again on the open file, since the name may
  // have changed in between; O_NONBLOCK keeps a fifo's open from waiting for
  // a writer and changes nothing for the regular file that is used.
  struct stat st;
  if (::stat(os->c_str(), &st) == 0) {
    if (int error = RegularFileError(st)) return error;
  } else if ((flags & O_CREAT) == 0 || errno != ENOENT) {
    return errno;
  }
  int f = ::open(os->c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
  if (f < 0) return errno;
  int error = ::fstat(f, &st) != 0 ? errno : RegularFileError(st);
  if (error != 0) {
    ::close(f);
    return error;
  }
  fd = f;
  return 0;
}

int MakeEmptyFile(std::string_view path) {
  int fd;
  // Truncated only once it is known to be a regular file.
  if (int error = OpenRegularFile(path, O_WRONLY | O_CREAT, fd)) return error;
  int error = ::ftruncate(fd, 0) != 0 ? errno : 0;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

int ReadWholeFile(std::string_view path, std::string& bytes) {
  bytes.clear();
  int fd;
  if (int error = OpenRegularFile(path, O_RDONLY, fd)) return error;
  struct stat st;
  if (::fstat(fd, &st) != 0) return CloseKeepingErrno(fd);
  // The size is a hint only: the file may grow or shrink while it is read.
  size_t used = 0;
  bytes.resize(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const size_t room = bytes.size() - used;
    const ssize_t n = ReadUpTo(fd, bytes.data() + used, room);
    if (n < 0) {
      bytes.clear();
      return CloseKeepingErrno(fd);
    }
    used += static_cast<size_t>(n);
    if (static_cast<size_t>(n) < room) break;
  }
  bytes.resize(used);
  ::close(fd);
  return 0;
}

int ReadFileHead(std::string_view path, size_t limit, std::string& bytes) {
  bytes.clear();
  int fd;
  if (int error = OpenRegularFile(path, O_RDONLY, fd)) return error;
  bytes.resize(limit);
  const ssize_t n = ReadUpTo(fd, bytes.data(), limit);
  if (n < 0) {
    bytes.clear();
    return CloseKeepingErrno(fd);
  }
  bytes.resize(static_cast<size_t>(n));
  ::close(fd);
  return 0;
}

std::string ResolveFileLinks(std::string_view path) {
  auto os = ToOsPath(path);
  std::string target;
  if (!os || ResolveOsLinks(*os, false, target) != 0) return "";
  auto cp = FromOsPath(target);
  return cp ? *cp : "";
}

bool MayFollowLinkToWrite(const LinkFacts& f) {
  if (f.linkOwner == f.user || f.linkOwner == 0) return true;
  const bool folderIsTheUsers = f.folderOwner == f.user || f.folderOwner == 0;
  return folderIsTheUsers && (f.folderMode & (S_IWGRP | S_IWOTH)) == 0;
}

int WriteFileAtomic(std::string_view path, std::string_view bytes) {
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  // A settings file kept elsewhere through a symbolic link stays linked.
  std::string target;
  if (int error = ResolveOsLinks(*os, true, target)) return error;
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return EISDIR;
  // A read-only file is the user's choice; a rename would ignore it.
  if (exists && (st.st_mode & 0222) == 0) return EACCES;
  if (exists && ::access(target.c_str(), W_OK) != 0) return errno;

  std::string temp;
  int fd = -1;
  for (unsigned attempt = 0; fd < 0; ++attempt) {
    temp = TempNameFor(target);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return errno;
  }
  if (exists) {
    // Best effort: only root may give a file away.
    (void)!::fchown(fd, st.st_uid, st.st_gid);
    ::fchmod(fd, st.st_mode & 07777);
  }

  int error = 0;
  if (!WriteAll(fd, bytes)) error = errno;
  if (error == 0) error = SyncDescriptor(fd);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolder(OsFolderOf(target));
  return 0;
}

void RemoveStaleTemporaries(std::string_view path) {
  auto os = ToOsPath(path);
  if (!os) return;
  std::string target;
  if (ResolveOsLinks(*os, true, target) != 0) return;
  const std::string prefix = TempPrefixOf(target);
  const std::string folder = OsFolderOf(target);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* e = ::readdir(dir)) {
    std::string_view name = e->d_name;
    if (name.size() > prefix.size() + kTempSuffix.size() && name.starts_with(prefix) && name.ends_with(kTempSuffix))
      ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

int MoveFileAside(std::string_view path, std::string& movedTo) {
  movedTo.clear();
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  std::string target;
  if (int error = ResolveOsLinks(*os, true, target)) return error;
  for (int n = 1; n < 1000; ++n) {
    const std::string aside = target + ".bak" + (n == 1 ? "" : std::to_string(n));
    int moved = ::renameat2(AT_FDCWD, target.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL && ::link(target.c_str(), aside.c_str()) == 0)  // no such rename here
      moved = ::unlink(target.c_str());
    if (moved == 0) {
      SyncFolder(OsFolderOf(target));
      auto cp = FromOsPath(aside);
      movedTo = cp ? *cp : aside;  // the name is the target's plus ASCII: it has a CP932 form
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

int FileReplaceLock::Lock(std::string_view path) {
  Release();
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  // Each lap after the first means that another writer replaced, removed or
  // made the file meanwhile: the laps end once this one gets its turn.
  // Only a file made and removed over and over by others (no writer of this
  // layer does) would keep it going; that ends after many laps.
  for (int laps = 0; laps < 100000; ++laps) {
    std::string target;
    if (int error = ResolveOsLinks(*os, true, target)) return error;
    // The kind is checked before opening, so that no device is opened and no
    // fifo waited on; O_NOFOLLOW catches a link put in its place meanwhile.
    struct stat st;
    bool made = false;
    int fd;
    if (::lstat(target.c_str(), &st) == 0) {
      if (int error = RegularFileError(st)) return error;
      fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    } else if (errno == ENOENT) {
      fd = ::open(target.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0666);
      made = true;
    } else {
      return errno;
    }
    if (fd < 0) {
      if (errno == ENOENT || errno == EEXIST || errno == ELOOP) continue;  // changed meanwhile: look again
      return errno;
    }
    int error = ::fstat(fd, &st) != 0 ? errno : RegularFileError(st);
    if (error == 0) error = LockExclusive(fd);
    if (error != 0) {
      if (made) ::unlink(target.c_str());
      ::close(fd);
      return error;
    }
    struct stat now;
    if (::lstat(target.c_str(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
      fd_ = fd;
      created_ = made;
      osTarget_ = std::move(target);
      return 0;
    }
    ::close(fd);  // replaced or removed while this one waited
  }
  return EAGAIN;
}

void FileReplaceLock::Release() {
  if (fd_ < 0) return;
  struct stat mine, now;
  // Still the empty file made for the lock: nobody wrote it, so it goes.
  if (created_ && ::fstat(fd_, &mine) == 0 && mine.st_size == 0 && ::lstat(osTarget_.c_str(), &now) == 0 &&
      now.st_dev == mine.st_dev && now.st_ino == mine.st_ino)
    ::unlink(osTarget_.c_str());
  ::close(fd_);  // also releases the lock
  fd_ = -1;
  created_ = false;
  osTarget_.clear();
}

int LockExclusive(int fd) {
  while (::flock(fd, LOCK_EX) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

int SyncDescriptor(int fd) {
  g_syncs.fetch_add(1, std::memory_order_relaxed);
  while (::fsync(fd) != 0)
    if (errno != EINTR) return errno;
  return 0;
}

unsigned long long SyncCount() { return g_syncs.load(std::memory_order_relaxed); }

std::string ProgramFolder() {
  const std::string exe = ExecutableOsPath();
  if (exe.empty()) return "";
  auto cp = FromOsPath(OsFolderOf(exe));
  return cp ? *cp : "";
}

std::string ProgramFileName() {
  const std::string exe = ExecutableOsPath();
  auto cp = FromOsPath(exe.substr(exe.rfind('/') + 1));
  return cp ? *cp : "";
}

std::string WindowsFolder() {
  std::string os;
  const char* windir = std::getenv("TAVO_WINDIR");
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (windir != nullptr && *windir != '\0') {
    os = windir;
  } else if (xdg != nullptr && xdg[0] == '/') {  // a relative value is invalid by XDG's rules
    os = StripTrailingSlashes(xdg) + "/tavo";
  } else {
    std::string home = HomeFolderOs();
    if (home.empty()) return "";
    os = StripTrailingSlashes(home) + "/.config/tavo";
  }
  auto cp = FromOsPath(StripTrailingSlashes(os));
  return cp ? *cp : "";
}

bool EnsureWindowsFolder() {
  auto os = ToOsPath(WindowsFolder());
  if (!os) return false;
  struct stat st;
  if (::stat(os->c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  // Create each missing component from the top down.
  for (size_t pos = 1; pos <= os->size(); ++pos) {
    if (pos < os->size() && (*os)[pos] != '/') continue;
    std::string part = os->substr(0, pos);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return ::stat(os->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExpandFileName(std::string_view path) {
  if (path.empty()) return "";
  std::string full;
  if (path.front() != '/') {
    std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    if (!cwd) return "";
    auto cp = FromOsPath(cwd.get());
    if (!cp) return "";
    full = *cp + "/";
  }
  full += path;

  std::vector<std::string_view> parts;
  std::string_view rest = full;
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (std::string_view part : parts) {
    out += '/';
    out += part;
  }
  if (out.empty() || path.back() == '/') out += '/';  // "/" alone, or a kept trailing '/'
  return out;
}

std::string ExtractFileName(std::string_view path) {
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFilePath(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? "" : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileExt(std::string_view path) {
  size_t dot = path.rfind('.');
  size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
  return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
  size_t keep = path.size() - ExtractFileExt(path).size();
  std::string out(path.substr(0, keep));
  out += ext;
  return out;
}

}  // namespace tavo
