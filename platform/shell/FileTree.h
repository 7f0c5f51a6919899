// The pieces of copying and moving whole trees of files: what a tree holds
// (its files and bytes, and whether it can be read, or removed after a
// move), a copy of it that keeps each entry's times and permission bits and
// is synced, and its removal. ShellFileOperation.h builds the shell's copy
// and move on them.
//
// Entries are walked through folder descriptors, never through links: a
// link is copied as a link, and a removal never leaves the volume it began
// on. Errors are errno values (ECANCELED for a cancel); nothing throws.
// Paths are OS paths (UTF-8). Any thread; a FileOpProgress is read and
// cancelled from other threads while an operation runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace tavo {

// How far a file operation has got, and its cancel.
class FileOpProgress {
 public:
  void Cancel() { cancelled_.store(true); }
  bool Cancelled() const { return cancelled_.load(); }

  // The files (every entry that is no folder) and the bytes (of regular
  // files) that the operation copies, and how many of them it has copied.
  std::uint64_t TotalFiles() const { return totalFiles_.load(); }
  std::uint64_t TotalBytes() const { return totalBytes_.load(); }
  std::uint64_t DoneFiles() const { return doneFiles_.load(); }
  std::uint64_t DoneBytes() const { return doneBytes_.load(); }
  // The object now worked on (OS path).
  std::string CurrentName() const;

  // Called on the working thread after each block of data and each entry
  // copied; it may Cancel. Set before the operation starts.
  std::function<void(FileOpProgress&)> OnStep;

  // For the operations.
  void AddTotals(std::uint64_t files, std::uint64_t bytes);
  void AddDone(std::uint64_t files, std::uint64_t bytes);
  void SetCurrentName(std::string name);

 private:
  std::atomic<bool> cancelled_{false};
  std::atomic<std::uint64_t> totalFiles_{0}, totalBytes_{0}, doneFiles_{0}, doneBytes_{0};
  mutable std::mutex mutex_;
  std::string current_;
};

// What a tree holds, and what stands in the way of copying or moving it.
struct TreeSurvey {
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  // An entry that cannot be read, or for a move removed (EACCES, EPERM,
  // EROFS, ...); 0 when there is none.
  int error = 0;
  // An entry on another device below the top: a mount point in it.
  bool crossesDevice = false;
};

// Walks `osPath` (not following it when it is a link). With `forMove`, also
// checks that every entry could be removed afterwards. Stops early once
// `progress` is cancelled (error ECANCELED).
TreeSurvey SurveyTree(const std::string& osPath, bool forMove, const FileOpProgress* progress);

// Copies `osPath` as the entry `name` of the folder `targetFolderFd`, which
// must not exist yet. Files get their data, permission bits and times
// (access and modification) and are synced; folders their entries, and
// then their bits and times (`deferTopAttributes`: not those of the top
// folder, which its caller sets with ApplyTreeAttributes once it is in
// place); links their target and times; fifos are made anew. With
// `keepOwner` the owner goes along where the system allows. Devices and
// sockets are not copied (EINVAL). What was made before a failure stays
// for the caller to remove.
int CopyTree(const std::string& osPath, int targetFolderFd, const std::string& name, bool keepOwner,
             bool deferTopAttributes, FileOpProgress* progress);

// Gives the folder `osTarget` the permission bits, times (and with
// `keepOwner` the owner) of the folder `osSource`, and syncs it.
int ApplyTreeAttributes(const std::string& osSource, const std::string& osTarget, bool keepOwner);

// Removes `osPath` and everything below it, on its own device only (an
// entry on another device is left, EXDEV). With `ownTemporary`, folders
// are made writable first (a temporary of the program's own making may
// hold copied read-only folders). Goes on past failures; answers the first.
int RemoveTree(const std::string& osPath, bool ownTemporary);

// True when the mount table has a mount point at `osPath` or below it
// (`osPath` absolute and without links in it).
bool HoldsMountPoint(const std::string& osPath);

// `osPath` made absolute with the links of its folders resolved (the entry
// itself is not followed), as the mount table names places; `osPath` as it
// is when its folder cannot be resolved.
std::string RealEntryPath(const std::string& osPath);

// fsync of a folder by its path; 0 or an errno value.
int SyncFolder(const std::string& osFolder);

}  // namespace tavo
