#include "platform/shell/CopyJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>

#include "platform/files/Files.h"
#include "platform/shell/FileTree.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

constexpr std::string_view kRecordSuffix = ".journal";
constexpr std::string_view kPendingPrefix = "pending-";

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

bool IsTemporaryName(const std::string& osPath) {
  const std::string name = osPath.substr(osPath.rfind('/') + 1);
  return name.rfind(kCopyTemporaryPrefix, 0) == 0 && name.size() > sizeof kCopyTemporaryPrefix - 1;
}

// The folder of the records, made when missing.
std::string MadeJournalFolder() {
  const std::string folder = CopyJournalFolder();
  if (folder.empty() || !EnsureWindowsFolder()) return {};
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
  return folder;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

std::string CopyJournalFolder() {
  const auto os = ToOsPath(WindowsFolder());
  return os && !os->empty() ? *os + "/copying" : std::string();
}

CopyJournalRecord::CopyJournalRecord(const std::string& osFolder) {
  const std::string folder = MadeJournalFolder();
  if (folder.empty()) return;
  static std::atomic<unsigned> counter{0};
  const std::string stem = std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  // Written under a name the clean-up does not read, then renamed: a
  // record is whole, and locked, from the moment it bears its name.
  const std::string pending = folder + "/" + std::string(kPendingPrefix) + stem;
  const int fd = ::open(pending.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string path = folder + "/" + stem + std::string(kRecordSuffix);
  if (::flock(fd, LOCK_EX) != 0 || !WriteAll(fd, osFolder) || SyncDescriptor(fd) != 0 ||
      ::rename(pending.c_str(), path.c_str()) != 0) {
    ::unlink(pending.c_str());
    ::close(fd);
    return;
  }
  SyncFolder(folder);
  fd_ = fd;
  path_ = path;
}

CopyJournalRecord::~CopyJournalRecord() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

void CopyJournalRecord::KeepForNextStart() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

void RemoveStrandedCopies() {
  const std::string folder = CopyJournalFolder();
  if (folder.empty()) return;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string_view n = e->d_name;
    if (EndsWith(n, kRecordSuffix) || n.rfind(kPendingPrefix, 0) == 0) names.emplace_back(n);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    // Held: its copy is running in a live process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      continue;
    }
    bool removed = true;
    if (EndsWith(name, kRecordSuffix)) {
      std::string temporary;
      char buf[4096];
      ssize_t n;
      while ((n = ::read(fd, buf, sizeof buf)) > 0) temporary.append(buf, static_cast<std::size_t>(n));
      struct stat st {};
      if (n == 0 && !temporary.empty() && temporary[0] == '/' && IsTemporaryName(temporary) &&
          ::lstat(temporary.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        removed = RemoveTree(temporary, true) == 0;  // else tried again at the next start
    }
    if (removed) ::unlink(path.c_str());
    ::close(fd);
  }
}

}  // namespace tavo
