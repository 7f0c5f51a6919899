// The Qt side of the shell's file operations: the window that shows how a
// long copy, move or move to the Trash is getting on and cancels it, the
// runner that keeps the window's thread free meanwhile, and the sentences
// that tell what an operation left undone and why a rename was refused.
// ZuShellDragQt.h installs them as the shell's answers (ShellQuestions.h).
// Everything is shown through the layer's modal functions (Modal.h), so
// that tests can script it. UI thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/shell/ShellQuestions.h"
#include "platform/ui/Modal.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tavo {

// The progress window of one operation: what it does, the file at work,
// the files and bytes done of all, and a cancel. It closes itself once
// `finished` answers true; Esc and the close box cancel as the button does
// (the window stays until the work has stopped).
class TFileOperationForm : public ui::TModalForm {
  Q_OBJECT
 public:
  TFileOperationForm(FileOpKind kind, FileOpProgress& progress, std::function<bool()> finished,
                     QWidget* parent = nullptr);

  QLabel* Action = nullptr;
  QLabel* Item = nullptr;
  QLabel* Counts = nullptr;
  QProgressBar* Bar = nullptr;
  QPushButton* CancelButton = nullptr;

  // Reads the progress into the window (every tenth of a second).
  void UpdateProgress();
  void reject() override;

 private:
  FileOpProgress& progress_;
  std::function<bool()> finished_;
  QTimer* timer_ = nullptr;
};

// Runs `work` on a thread of its own; when it has not ended within a
// moment, the progress window shows (modally) until it has. Returns once
// `work` has ended; an exception it threw is thrown here.
void RunFileOperationWithProgress(FileOpKind kind, FileOpProgress& progress, const std::function<void()>& work);

// What a file operation left undone, each object with its reason.
QString UndoneText(FileOpKind kind, const std::vector<FileOpItem>& undone);

// Why a rename to `name` (CP932) was refused, in one sentence.
QString RenameRefusedText(const std::string& name, int error);

}  // namespace tavo
