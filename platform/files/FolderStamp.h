// What a folder's entries last changed at, as the file system tells it.
//
// A watcher is armed some time after its caller has listed the folder; a
// change made in between reaches no watch. The caller takes a stamp when it
// lists, the watcher another once its watch stands: two stamps that differ
// (or a folder that is gone) mean a change the watch could not see.
// Adding, removing or renaming an entry changes the folder's stamp; a change
// inside a file does not. Paths are CP932 (see OsPath.h). Thread-safe.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavo {

struct FolderStamp {
  bool exists = false;  // false: no such folder (or no OS form), all else 0
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t modifiedNs = 0;
  int64_t changedNs = 0;

  friend bool operator==(const FolderStamp&, const FolderStamp&) = default;
};

// The stamp of the folder `path` now (links followed).
FolderStamp StampOfFolder(std::string_view path);

}  // namespace tavo
