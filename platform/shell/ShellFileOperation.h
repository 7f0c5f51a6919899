// Copying and moving files and folders into a folder, as a drop or a paste
// does it (on FileTree.h). What a user can rely on:
//
// - Nothing is ever replaced: an entry whose name is taken in the target
//   folder stays where it is and is reported. A folder is never put into
//   itself or a folder below it.
// - A copy is made in a hidden temporary folder inside the target folder
//   and takes its name only when it is whole (a rename that replaces
//   nothing). On any failure or a cancel the temporary is removed, so no
//   half-written file ever bears a name; one that a killed run left is
//   removed at the next start (CopyJournal.h). Before a copy begins, the
//   target volume must have room for its bytes.
// - A copy keeps each entry's modification time and permission bits; a
//   move keeps its owner too, where the system allows.
// - A move within a volume is a rename. Across volumes it is a whole copy
//   (data and times, synced) followed by the removal of the source; what
//   would keep the source from being removed (permissions, a mount point
//   in it) is found before anything is copied, and the source then stays.
//
// Paths are OS paths (UTF-8). Any thread; the progress is read and
// cancelled from other threads while an operation runs.
#pragma once

#include <string>
#include <vector>

#include "platform/shell/FileTree.h"

namespace tavo {

enum class FileOpOutcome {
  Done,
  SamePlace,   // already in the target folder (a move does nothing)
  NameTaken,   // the target folder holds the name already: left as it was
  IntoItself,  // a folder into itself or below itself: refused
  MountPoint,  // a mount point, or a folder that holds one: not moved
  Failed,      // the system refused (error says why); the source is whole
  Cancelled,   // cancelled before or while it ran; the source is whole
  SourceLeft,  // moved (the copy is whole in the target folder), but the
               // source could not all be removed (error says why)
};

struct FileOpItem {
  std::string source;
  FileOpOutcome outcome = FileOpOutcome::Failed;
  int error = 0;  // errno value for Failed and SourceLeft
};

// Copies (or moves) each source into `targetDir` under its own name. All
// sources are looked at first (what is to be copied counts into the
// progress's totals), then worked on in order; once `progress` is
// cancelled, the object at work and the rest are Cancelled. One entry per
// source, in order.
std::vector<FileOpItem> CopyOrMoveInto(const std::vector<std::string>& sources, const std::string& targetDir,
                                       bool move, FileOpProgress* progress = nullptr);

// True when `path` is `folder` or lies below it (by their canonical forms).
bool IsSameOrBelow(const std::string& path, const std::string& folder);

// Moves `source` to `target` (a full path) without replacing anything, as a
// move above: Done, NameTaken, MountPoint, Failed, Cancelled or SourceLeft.
FileOpItem MoveWithoutReplacing(const std::string& source, const std::string& target,
                                FileOpProgress* progress = nullptr);

}  // namespace tavo
