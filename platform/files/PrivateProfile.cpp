#include "platform/files/PrivateProfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/Files.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

// The first `kProfileValueMax` bytes, never ending in half a character.
std::string CutToValueBuffer(std::string_view value) {
  size_t keep = 0;
  while (keep < value.size()) {
    size_t len = IsLeadByte(static_cast<unsigned char>(value[keep])) && keep + 1 < value.size() ? 2 : 1;
    if (keep + len > kProfileValueMax) break;
    keep += len;
  }
  return std::string(value.substr(0, keep));
}

// The lock is on a file of its own because the data file is replaced, not
// rewritten; it lies beside the link's target, which two names of one file
// share.
int OpenLock(const std::string& profilePath, int& fd) {
  fd = -1;
  const std::string target = ResolveFileLinks(profilePath);
  if (target.empty()) return ELOOP;
  if (int error = OpenRegularFile(target + ".lock", O_RDWR | O_CREAT, fd)) return error;
  if (int error = LockExclusive(fd)) {
    ::close(fd);
    fd = -1;
    return error;
  }
  return 0;
}

}  // namespace

// "tavodic.ini" lives in the Windows folder; "x/tavodic.ini" is a path.
std::string PrivateProfilePath(std::string_view fileName) {
  if (fileName.find('/') != std::string_view::npos) return std::string(fileName);
  if (fileName.empty()) return "";
  std::string folder = WindowsFolder();
  if (folder.empty()) return "";
  return folder + "/" + std::string(fileName);
}

PrivateProfileBatch::PrivateProfileBatch(std::string_view fileName, Mode mode)
    : path_(PrivateProfilePath(fileName)) {
  if (path_.empty()) {
    error_ = ENOENT;
    return;
  }
  if (mode == kWrite) {
    errno = 0;
    if (fileName.find('/') == std::string_view::npos && !EnsureWindowsFolder()) {
      error_ = errno != 0 ? errno : ENOENT;
      return;
    }
    if ((error_ = OpenLock(path_, lockFd_)) != 0) return;
  }
  std::string bytes;
  const int r = ReadWholeFile(path_, bytes);
  if (r != 0 && r != ENOENT) {
    error_ = r;  // never replace a file that could not be read
    return;
  }
  exists_ = r == 0;
  writable_ = mode == kWrite;
  text_ = ProfileText(bytes);
}

PrivateProfileBatch::~PrivateProfileBatch() {
  if (lockFd_ >= 0) ::close(lockFd_);  // also releases the lock
}

std::string PrivateProfileBatch::ReadString(std::string_view section, std::string_view key,
                                            std::string_view fallback) const {
  auto value = Value(section, key);
  return CutToValueBuffer(value ? *value : fallback);
}

std::optional<std::string_view> PrivateProfileBatch::Value(std::string_view section, std::string_view key) const {
  return text_.Value(section, key);
}

bool PrivateProfileBatch::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return writable_ && text_.Set(section, key, value);
}

int PrivateProfileBatch::Commit() {
  if (error_ != 0) return error_;
  if (!writable_) return EBADF;
  if (!text_.Changed()) return 0;
  RemoveStaleTemporaries(path_);  // safe: the lock keeps every other writer out
  return WriteFileAtomic(path_, text_.Bytes());
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view fallback, std::string_view fileName) {
  return PrivateProfileBatch(fileName, PrivateProfileBatch::kRead).ReadString(section, key, fallback);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName) {
  if (!ProfileEntryFits(section, key, value)) return false;  // refused before any lock is taken
  PrivateProfileBatch batch(fileName, PrivateProfileBatch::kWrite);
  return batch.Error() == 0 && batch.WriteString(section, key, value) && batch.Commit() == 0;
}

}  // namespace tavo
