// Copying and moving files and folders into a folder, as a drop or a paste
// does it. Nothing is ever replaced: an entry whose name is taken in the
// target folder stays where it is and is reported. A copy is made under a
// hidden temporary name in the target folder and given its name only when it
// is whole (a rename that replaces nothing), so no half-written file ever
// bears a real name; a move across volumes copies first and removes the
// original only after the copy is whole. A folder is never put into itself
// or a folder below it. Paths are OS paths (UTF-8). Any thread; one
// operation at a time per set of files.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tavo {

enum class FileOpOutcome {
  Done,
  SamePlace,    // already in the target folder (a move does nothing)
  NameTaken,    // the target folder holds the name already: left as it was
  IntoItself,   // a folder into itself or below itself: refused
  Failed,       // the system refused (gone, no permission, disk full, ...)
  Cancelled,    // not reached: the operation was cancelled before it
};

struct FileOpItem {
  std::string source;
  FileOpOutcome outcome = FileOpOutcome::Failed;
  std::string error;  // the system's message for Failed
};

// Copies (or moves) each source into `targetDir` under its own name.
// `keepGoing`, when given, is asked before each source; false cancels the
// rest. One entry per source, in order.
std::vector<FileOpItem> CopyOrMoveInto(const std::vector<std::string>& sources, const std::string& targetDir,
                                       bool move, const std::function<bool()>& keepGoing = {});

// True when `path` is `folder` or lies below it (by their canonical forms).
bool IsSameOrBelow(const std::string& path, const std::string& folder);

// Moves `source` to `target` (a full path) without replacing anything,
// copying across volumes as above. False with `error` set otherwise;
// `nameTaken` tells that `target` existed.
bool MoveWithoutReplacing(const std::string& source, const std::string& target, bool& nameTaken, std::string& error);

}  // namespace tavo
