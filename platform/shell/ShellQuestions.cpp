#include "platform/shell/ShellQuestions.h"

namespace tavo {
namespace {

ShellQuestions& Questions() {
  static ShellQuestions q;
  return q;
}

}  // namespace

void SetShellQuestions(ShellQuestions questions) { Questions() = std::move(questions); }
const ShellQuestions& GetShellQuestions() { return Questions(); }

std::vector<FileOpItem> ReportUndone(FileOpKind kind, const std::vector<FileOpItem>& items) {
  std::vector<FileOpItem> undone;
  for (const FileOpItem& item : items)
    if (item.outcome != FileOpOutcome::Done && item.outcome != FileOpOutcome::SamePlace) undone.push_back(item);
  if (!undone.empty() && Questions().ReportUndone) Questions().ReportUndone(kind, undone);
  return undone;
}

void RunFileOperation(FileOpKind kind, FileOpProgress& progress, const std::function<void()>& work) {
  if (Questions().RunFileOperation) Questions().RunFileOperation(kind, progress, work);
  else work();
}

}  // namespace tavo
