// What the shell asks and tells the user, and how it runs work that may
// take long: hooks that the window system's side installs (the Qt views do
// it once, ZuShellDragQt.h), so that the shell itself needs no window and
// tests can answer for the user. Unset, a right-button drop does what a
// left-button one would, nothing is told, and work runs at once on the
// calling thread. UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/shell/ShellFileOperation.h"

namespace tavo {

struct DropPoint {
  int x = 0;
  int y = 0;
};

// What a file operation does, for its progress and its report.
enum class FileOpKind { Copy, Move, Trash };

struct ShellQuestions {
  // After a right-button drag: the effect chosen among `allowed` (COPY and
  // MOVE bits), `proposed` being the default; NONE cancels.
  std::function<std::uint32_t(std::uint32_t allowed, std::uint32_t proposed, DropPoint pt)> ChooseEffect;
  // The objects an operation left undone (name taken, into itself, failed,
  // cancelled, ...), each with its reason.
  std::function<void(FileOpKind kind, const std::vector<FileOpItem>& undone)> ReportUndone;
  // Runs `work`, a copy, move or move to the Trash that may take long: it
  // reads `progress`'s cancel and adds to its counts, and may run on
  // another thread. Returns once `work` has ended.
  std::function<void(FileOpKind kind, FileOpProgress& progress, const std::function<void()>& work)>
      RunFileOperation;
  // A rename was refused: the new name asked for (CP932; what could be
  // had of it) and why (errno value: EEXIST the name is taken, EINVAL it is
  // no file name, EILSEQ it has no form on disk, or the system's).
  std::function<void(const std::string& name, int error)> ReportRenameRefused;
};
void SetShellQuestions(ShellQuestions questions);
const ShellQuestions& GetShellQuestions();

// The items of a file operation that were not done (SamePlace counts as
// done), told through ReportUndone when there are any; answers them.
std::vector<FileOpItem> ReportUndone(FileOpKind kind, const std::vector<FileOpItem>& items);

// Runs `work` through RunFileOperation, or at once when that is unset.
void RunFileOperation(FileOpKind kind, FileOpProgress& progress, const std::function<void()>& work);

}  // namespace tavo
