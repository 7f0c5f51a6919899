#include "folderbrowse/ZuShellFileOpQt.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/system/OSError.h"
#include "platform/text/QtText.h"
#include "platform/ui/AccessibleNames.h"

namespace tavo {
namespace {

// Work that ends within this time shows no window.
constexpr std::chrono::milliseconds kMoment{400};

QString Verb(FileOpKind kind) {
  switch (kind) {
    case FileOpKind::Copy: return QStringLiteral("コピー");
    case FileOpKind::Move: return QStringLiteral("移動");
    case FileOpKind::Trash: return QStringLiteral("ごみ箱への移動");
  }
  return {};
}

QString Doing(FileOpKind kind) {
  switch (kind) {
    case FileOpKind::Copy: return QStringLiteral("コピーしています...");
    case FileOpKind::Move: return QStringLiteral("移動しています...");
    case FileOpKind::Trash: return QStringLiteral("ごみ箱に移しています...");
  }
  return {};
}

QString Cannot(FileOpKind kind) {
  switch (kind) {
    case FileOpKind::Copy: return QStringLiteral("コピーできません");
    case FileOpKind::Move: return QStringLiteral("移動できません");
    case FileOpKind::Trash: return QStringLiteral("ごみ箱に移せません");
  }
  return {};
}

QString Size(std::uint64_t bytes) {
  return QLocale().formattedDataSize(static_cast<qint64>(bytes), 1, QLocale::DataSizeTraditionalFormat);
}

QString ErrorText(int error) { return FromCp932(FileErrorText(error)); }

QString Reason(FileOpKind kind, const FileOpItem& item) {
  switch (item.outcome) {
    case FileOpOutcome::NameTaken: return QStringLiteral("同じ名前の項目が既にあります。");
    case FileOpOutcome::IntoItself:
      return QStringLiteral("フォルダをそれ自身やその中のフォルダへは%1。").arg(Cannot(kind));
    case FileOpOutcome::MountPoint:
      return QStringLiteral("ボリュームのマウントポイント（またはそれを含むフォルダ）は%1。").arg(Cannot(kind));
    case FileOpOutcome::Cancelled: return QStringLiteral("取り消しました。");
    case FileOpOutcome::SourceLeft:
      return QStringLiteral("移動先へのコピーは済みましたが、元の項目をすべては削除できませんでした（%1）。")
          .arg(ErrorText(item.error));
    default: return ErrorText(item.error) + QStringLiteral("。");
  }
}

}  // namespace

TFileOperationForm::TFileOperationForm(FileOpKind kind, FileOpProgress& progress, std::function<bool()> finished,
                                       QWidget* parent)
    : ui::TModalForm(parent), progress_(progress), finished_(std::move(finished)) {
  setObjectName(QStringLiteral("FileOperationForm"));
  setWindowTitle(Verb(kind) + QStringLiteral("中"));
  auto* layout = new QVBoxLayout(this);
  Action = new QLabel(Doing(kind), this);
  Item = new QLabel(this);
  Item->setTextFormat(Qt::PlainText);
  Item->setMinimumWidth(420);
  Counts = new QLabel(this);
  Bar = new QProgressBar(this);
  Bar->setRange(0, 1000);
  ui::SetAccessibleName(Bar, QStringLiteral("%1の進み具合").arg(Verb(kind)));
  CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
  CancelButton->setAutoDefault(false);
  for (QWidget* w : {static_cast<QWidget*>(Action), static_cast<QWidget*>(Item), static_cast<QWidget*>(Counts),
                     static_cast<QWidget*>(Bar)})
    layout->addWidget(w);
  layout->addWidget(CancelButton, 0, Qt::AlignRight);
  connect(CancelButton, &QPushButton::clicked, this, [this] { reject(); });
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] { UpdateProgress(); });
  timer_->start(100);
  UpdateProgress();
  CancelButton->setFocus();
}

void TFileOperationForm::UpdateProgress() {
  if (finished_()) {
    if (isVisible()) SetModalResult(ui::mrOk);
    return;
  }
  Item->setText(QString::fromStdString(progress_.CurrentName()));
  const std::uint64_t files = progress_.DoneFiles(), totalFiles = progress_.TotalFiles();
  const std::uint64_t bytes = progress_.DoneBytes(), totalBytes = progress_.TotalBytes();
  Counts->setText(QStringLiteral("%1 / %2 個のファイル（%3 / %4）")
                      .arg(files)
                      .arg(totalFiles)
                      .arg(Size(bytes), Size(totalBytes)));
  const double share = totalBytes > 0   ? static_cast<double>(bytes) / static_cast<double>(totalBytes)
                       : totalFiles > 0 ? static_cast<double>(files) / static_cast<double>(totalFiles)
                                        : 0.0;
  Bar->setValue(static_cast<int>(std::min(share, 1.0) * 1000));
}

void TFileOperationForm::reject() {
  // The work stops at its next step and cleans up after itself; the window
  // goes once it has.
  if (progress_.Cancelled()) return;
  progress_.Cancel();
  Action->setText(QStringLiteral("取り消しています..."));
  CancelButton->setEnabled(false);
}

void RunFileOperationWithProgress(FileOpKind kind, FileOpProgress& progress, const std::function<void()>& work) {
  std::mutex mutex;
  std::condition_variable ended;
  bool finished = false;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    ended.notify_all();
  });
  auto isFinished = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return finished;
  };
  bool quick;
  {
    std::unique_lock<std::mutex> lock(mutex);
    quick = ended.wait_for(lock, kMoment, [&] { return finished; });
  }
  if (!quick) {
    TFileOperationForm form(kind, progress, isFinished, QApplication::activeWindow());
    ui::ShowModal(&form);
  }
  worker.join();
  if (failure) std::rethrow_exception(failure);
}

QString UndoneText(FileOpKind kind, const std::vector<FileOpItem>& undone) {
  QString text = QStringLiteral("次の項目は%1を終えられませんでした。").arg(Verb(kind));
  for (const FileOpItem& item : undone)
    text += QStringLiteral("\n%1\n　%2").arg(QString::fromStdString(item.source), Reason(kind, item));
  return text;
}

QString RenameRefusedText(const std::string& name, int error) {
  switch (error) {
    case EEXIST:
    case ENOTEMPTY:
      return QStringLiteral("「%1」という名前のファイルまたはフォルダが既にあるため、名前を変更できません。")
          .arg(FromCp932(name));
    case EINVAL:
      if (name.empty()) return QStringLiteral("名前を入力してください。");
      if (name.find('/') != std::string::npos) return QStringLiteral("名前に「/」は使えません。");
      if (name == "." || name == "..") return QStringLiteral("「.」や「..」という名前は付けられません。");
      return QStringLiteral("この名前は付けられません。");
    case EILSEQ: return QStringLiteral("名前に Shift-JIS で書けない文字が含まれているため、名前を変更できません。");
    case ENAMETOOLONG: return QStringLiteral("名前が長すぎるため、名前を変更できません。");
    default: return QStringLiteral("名前を変更できません（%1）。").arg(ErrorText(error));
  }
}

}  // namespace tavo
