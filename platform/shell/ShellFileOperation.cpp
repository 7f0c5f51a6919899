#include "platform/shell/ShellFileOperation.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <random>

#include "platform/shell/CopyJournal.h"

namespace fs = std::filesystem;

namespace tavo {
namespace {

std::string BaseName(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  const std::size_t slash = p.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : p.substr(0, slash);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// rename(2) that never replaces: -1 with errno EEXIST when the name is taken.
int RenameNoReplace(const std::string& from, const std::string& to) {
  int r = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (r != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // No RENAME_NOREPLACE on this file system: a hard link never replaces
    // either (files only); for a folder look first.
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return -1;
    if (!S_ISDIR(st.st_mode)) {
      if (::link(from.c_str(), to.c_str()) != 0) return -1;
      return ::unlink(from.c_str());
    }
    if (Exists(to)) {
      errno = EEXIST;
      return -1;
    }
    r = ::rename(from.c_str(), to.c_str());
  }
  return r;
}

// ENOSPC when the volume of `folder` has clearly no room for `bytes`.
int RoomError(const std::string& folder, std::uint64_t bytes) {
  struct statvfs v {};
  if (::statvfs(folder.c_str(), &v) != 0 || v.f_blocks == 0) return 0;  // not told: let the copy find out
  const std::uint64_t blocks = ::geteuid() == 0 ? v.f_bfree : v.f_bavail;
  return bytes > blocks * v.f_frsize ? ENOSPC : 0;
}

std::string RandomName() {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::string name = kCopyTemporaryPrefix;
  for (int i = 0; i < 10; ++i) name += kChars[device() % (sizeof kChars - 1)];
  return name;
}

FileOpItem Result(const std::string& source, int error) {
  FileOpItem item{source, FileOpOutcome::Done, error};
  if (error == ECANCELED) item.outcome = FileOpOutcome::Cancelled;
  else if (error == EEXIST || error == ENOTEMPTY) item.outcome = FileOpOutcome::NameTaken;
  else if (error != 0) item.outcome = FileOpOutcome::Failed;
  if (item.outcome != FileOpOutcome::Failed) item.error = 0;
  return item;
}

// A whole copy of `source` at `target` (whose name is free), made in a
// temporary folder beside `target`; `bytes` what it needs of the volume.
FileOpItem CopyWhole(const std::string& source, const std::string& target, std::uint64_t bytes, bool keepOwner,
                     FileOpProgress* progress) {
  const std::string folder = ParentOf(target);
  if (int e = RoomError(folder, bytes)) return Result(source, e);
  std::string temporary;
  std::unique_ptr<CopyJournalRecord> record;
  for (int attempt = 0;; ++attempt) {
    temporary = folder + "/" + RandomName();
    record = std::make_unique<CopyJournalRecord>(temporary);
    if (::mkdir(temporary.c_str(), 0700) == 0) break;
    const int e = errno;
    if (e != EEXIST || attempt == 20) return Result(source, e == EEXIST ? EIO : e);
  }
  struct stat st {};
  const bool isFolder = ::lstat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  const std::string staged = temporary + "/" + BaseName(target);
  int error = 0;
  {
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      error = errno;
    } else {
      error = CopyTree(source, fd, BaseName(target), keepOwner, true, progress);
      ::close(fd);
    }
  }
  bool placed = false;
  if (error == 0) {
    placed = RenameNoReplace(staged, target) == 0;
    if (!placed) error = errno;
  }
  // A folder takes its own bits and times once it is in place: without
  // write permission it could not have been renamed there.
  if (error == 0 && isFolder) error = ApplyTreeAttributes(source, target, keepOwner);
  if (error == 0) error = SyncFolder(folder);
  if (error != 0 && placed) RemoveTree(target, true);
  if (RemoveTree(temporary, true) != 0) record->KeepForNextStart();
  return Result(source, error);
}

// A move, with the source surveyed already when `surveyed`.
FileOpItem Move(const std::string& source, const std::string& target, bool surveyed, std::uint64_t bytes,
                FileOpProgress* progress) {
  if (Exists(target)) return {source, FileOpOutcome::NameTaken, 0};
  if (RenameNoReplace(source, target) == 0) return {source, FileOpOutcome::Done, 0};
  if (errno == EBUSY) return {source, FileOpOutcome::MountPoint, 0};
  if (errno != EXDEV) return Result(source, errno);
  // Another volume: the source goes only once the copy is whole.
  if (!surveyed) {
    const TreeSurvey survey = SurveyTree(source, true, progress);
    if (survey.error != 0) return Result(source, survey.error);
    if (survey.crossesDevice || HoldsMountPoint(RealEntryPath(source))) return {source, FileOpOutcome::MountPoint, 0};
    if (progress != nullptr) progress->AddTotals(survey.files, survey.bytes);
    bytes = survey.bytes;
  }
  struct stat st {};
  const bool isFolder = ::lstat(source.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  FileOpItem item = CopyWhole(source, target, bytes, true, progress);
  if (item.outcome != FileOpOutcome::Done) return item;
  if (int e = RemoveTree(source, false)) {
    // A file that could not be removed is still whole: the copy goes, and
    // nothing was moved. Of a folder some may be gone by now.
    if (!isFolder) {
      RemoveTree(target, false);
      return {source, FileOpOutcome::Failed, e};
    }
    return {source, FileOpOutcome::SourceLeft, e};
  }
  SyncFolder(ParentOf(source));
  return item;
}

}  // namespace

bool IsSameOrBelow(const std::string& path, const std::string& folder) {
  std::error_code ec1, ec2;
  const fs::path p = fs::weakly_canonical(path, ec1), f = fs::weakly_canonical(folder, ec2);
  if (ec1 || ec2) return false;
  const std::string ps = p.string(), fstr = f.string();
  if (ps == fstr) return true;
  const std::string prefix = fstr == "/" ? fstr : fstr + "/";
  return ps.compare(0, prefix.size(), prefix) == 0;
}

FileOpItem MoveWithoutReplacing(const std::string& source, const std::string& target, FileOpProgress* progress) {
  return Move(source, target, false, 0, progress);
}

std::vector<FileOpItem> CopyOrMoveInto(const std::vector<std::string>& sources, const std::string& targetDir,
                                       bool move, FileOpProgress* progress) {
  struct Planned {
    std::size_t index;
    std::string target;
    bool surveyed = false;
    std::uint64_t bytes = 0;
  };
  std::vector<FileOpItem> result;
  std::vector<Planned> plan;
  struct stat folder {};
  const bool folderKnown = ::stat(targetDir.c_str(), &folder) == 0;
  for (const std::string& source : sources) {
    FileOpItem item{source, FileOpOutcome::Failed, 0};
    const std::string target = (targetDir == "/" ? std::string() : targetDir) + "/" + BaseName(source);
    struct stat st {};
    if (progress != nullptr && progress->Cancelled()) {
      item.outcome = FileOpOutcome::Cancelled;
    } else if (::lstat(source.c_str(), &st) != 0) {
      item.error = errno;
    } else if (S_ISDIR(st.st_mode) && IsSameOrBelow(targetDir, source)) {
      item.outcome = FileOpOutcome::IntoItself;
    } else if (IsSameOrBelow(ParentOf(source), targetDir) && IsSameOrBelow(targetDir, ParentOf(source))) {
      item.outcome = move ? FileOpOutcome::SamePlace : FileOpOutcome::NameTaken;
    } else if (Exists(target)) {
      item.outcome = FileOpOutcome::NameTaken;
    } else {
      Planned p{result.size(), target};
      // What will be copied is looked at now, so that the totals are known
      // and a source that cannot be read, or removed after a move, is found
      // before anything is done.
      if (!move || !folderKnown || st.st_dev != folder.st_dev) {
        const TreeSurvey survey = SurveyTree(source, move, progress);
        p.surveyed = true;
        p.bytes = survey.bytes;
        if (survey.error != 0) {
          item = Result(source, survey.error);
        } else if (move && (survey.crossesDevice || HoldsMountPoint(RealEntryPath(source)))) {
          item.outcome = FileOpOutcome::MountPoint;
        } else {
          if (progress != nullptr) progress->AddTotals(survey.files, survey.bytes);
          plan.push_back(p);
        }
      } else {
        plan.push_back(p);
      }
    }
    result.push_back(std::move(item));
  }
  for (const Planned& p : plan) {
    FileOpItem& item = result[p.index];
    if (progress != nullptr) {
      if (progress->Cancelled()) {
        item.outcome = FileOpOutcome::Cancelled;
        continue;
      }
      progress->SetCurrentName(item.source);
    }
    item = move ? Move(item.source, p.target, p.surveyed, p.bytes, progress)
                : CopyWhole(item.source, p.target, p.bytes, false, progress);
  }
  return result;
}

}  // namespace tavo
