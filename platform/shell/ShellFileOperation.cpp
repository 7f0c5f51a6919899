#include "platform/shell/ShellFileOperation.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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

// A whole copy of `source` at `target`, made under a temporary name beside
// it first. False (nothing left behind) on failure; nameTaken when `target`
// existed at the end.
bool CopyWhole(const std::string& source, const std::string& target, bool& nameTaken, std::string& error) {
  std::string temp = ParentOf(target) + "/.tavo-copy-XXXXXX";
  if (::mkdtemp(temp.data()) == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  const std::string staged = temp + "/" + BaseName(target);
  std::error_code ec;
  fs::copy(source, staged, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  bool ok = !ec;
  if (!ok) error = ec.message();
  if (ok && RenameNoReplace(staged, target) != 0) {
    nameTaken = errno == EEXIST || errno == ENOTEMPTY;
    error = std::strerror(errno);
    ok = false;
  }
  fs::remove_all(temp, ec);
  return ok;
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

bool MoveWithoutReplacing(const std::string& source, const std::string& target, bool& nameTaken, std::string& error) {
  nameTaken = false;
  if (Exists(target)) {
    nameTaken = true;
    return false;
  }
  if (RenameNoReplace(source, target) == 0) return true;
  if (errno == EEXIST || errno == ENOTEMPTY) {
    nameTaken = true;
    return false;
  }
  if (errno != EXDEV) {
    error = std::strerror(errno);
    return false;
  }
  // Another volume: the original goes only once the copy is whole.
  if (!CopyWhole(source, target, nameTaken, error)) return false;
  std::error_code ec;
  fs::remove_all(source, ec);
  if (ec) {
    error = ec.message();
    return false;
  }
  return true;
}

std::vector<FileOpItem> CopyOrMoveInto(const std::vector<std::string>& sources, const std::string& targetDir,
                                       bool move, const std::function<bool()>& keepGoing) {
  std::vector<FileOpItem> result;
  bool cancelled = false;
  for (const std::string& source : sources) {
    FileOpItem item{source, FileOpOutcome::Failed, {}};
    if (!cancelled && keepGoing && !keepGoing()) cancelled = true;
    if (cancelled) {
      item.outcome = FileOpOutcome::Cancelled;
      result.push_back(std::move(item));
      continue;
    }
    const std::string target = (targetDir == "/" ? std::string() : targetDir) + "/" + BaseName(source);
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0) {
      item.error = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode) && IsSameOrBelow(targetDir, source)) {
      item.outcome = FileOpOutcome::IntoItself;
    } else if (IsSameOrBelow(ParentOf(source), targetDir) && IsSameOrBelow(targetDir, ParentOf(source))) {
      item.outcome = move ? FileOpOutcome::SamePlace : FileOpOutcome::NameTaken;
    } else if (Exists(target)) {
      item.outcome = FileOpOutcome::NameTaken;
    } else {
      bool nameTaken = false;
      const bool ok = move ? MoveWithoutReplacing(source, target, nameTaken, item.error)
                           : CopyWhole(source, target, nameTaken, item.error);
      item.outcome = ok ? FileOpOutcome::Done : nameTaken ? FileOpOutcome::NameTaken : FileOpOutcome::Failed;
    }
    result.push_back(std::move(item));
  }
  return result;
}

}  // namespace tavo
