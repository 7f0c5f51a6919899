#include "platform/files/Files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/files/OsPath.h"

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

// A name no other writer picks: the process id tells processes apart, the
// counter threads and calls; O_EXCL catches a leftover of a crashed process.
std::string TempNameIn(const std::string& osFolder) {
  static std::atomic<unsigned> counter{0};
  return osFolder + "/.~tavo" + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

void SyncFolder(const std::string& osFolder) {
  int fd = ::open(osFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // Makes the rename durable; the data itself is already safe.
  ::close(fd);
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

bool CreateEmptyFile(std::string_view path) {
  auto os = ToOsPath(path);
  if (!os) return false;
  // Truncated only once it is known to be a regular file: a fifo is not
  // waited on (O_NONBLOCK), and a device is neither truncated nor kept.
  int fd = ::open(os->c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return false;
  struct stat st;
  const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0;
  return ::close(fd) == 0 && ok;
}

int ReadWholeFile(std::string_view path, std::string& bytes) {
  bytes.clear();
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  int fd = ::open(os->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  if (::fstat(fd, &st) != 0) return CloseKeepingErrno(fd);
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
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
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  // Checked before opening, so that a device is never opened (opening some
  // devices acts on them), and again on the open file, since the name may
  // have changed in between; O_NONBLOCK keeps a fifo's open from waiting for
  // a writer. It changes nothing for the regular file that is read.
  struct stat st;
  if (::stat(os->c_str(), &st) != 0) return errno;
  if (int error = RegularFileError(st)) return error;
  int fd = ::open(os->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno;
  if (::fstat(fd, &st) != 0) return CloseKeepingErrno(fd);
  if (int error = RegularFileError(st)) {
    ::close(fd);
    return error;
  }
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

int WriteFileAtomic(std::string_view path, std::string_view bytes) {
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  std::string target = *os;
  struct stat st;
  // A settings file kept elsewhere through a symbolic link stays linked.
  if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(target.c_str(), nullptr), &std::free);
    if (real) target = real.get();
  }
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return EISDIR;

  std::string folder = OsFolderOf(target);
  std::string temp;
  int fd = -1;
  for (unsigned attempt = 0; fd < 0; ++attempt) {
    temp = TempNameIn(folder);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return errno;
  }
  if (exists) ::fchmod(fd, st.st_mode & 07777);  // best effort: not the owner, say

  int error = 0;
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolder(folder);
  return 0;
}

std::string ProgramFolder() {
  std::string exe(256, '\0');
  for (;;) {
    ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n < 0) return "";
    if (static_cast<size_t>(n) < exe.size()) {
      exe.resize(static_cast<size_t>(n));
      break;
    }
    exe.resize(exe.size() * 2);  // possibly cut: try again with more room
  }
  auto cp = FromOsPath(OsFolderOf(exe));
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
