#include "platform/ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/text/QtText.h"
#include "platform/ui/FontChooser.h"
#include "platform/ui/Modal.h"

namespace tavo::ui {

QStringList PipeFilterToNameFilters(const QString& filter) {
  QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out;
}

void TOpenDialog::SetChosen(const std::vector<std::string>& cp932Paths) {
  Files = cp932Paths;
  FileName = Files.empty() ? std::string() : Files.front();
}

namespace {

// The open-file dialog with the options the program's dialogs ask for: a
// typed name that does not exist is refused, accepted, or accepted after
// asking whether to create it; a typed folder is opened.
class OpenFileDialog : public QFileDialog {
 public:
  OpenFileDialog(QWidget* owner, const QString& title, const TOpenDialog& o)
      : QFileDialog(owner, title), options_(o) {}

  // The names accepted, as full paths.
  const QStringList& Chosen() const { return chosen_; }

  void accept() override {
    const QStringList files = Named();
    if (files.isEmpty()) return;
    if (files.size() == 1 && QFileInfo(files.front()).isDir()) {
      setDirectory(files.front());
      if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->clear();
      return;
    }
    for (const QString& f : files) {
      if (QFileInfo::exists(f)) continue;
      const QString name = QFileInfo(f).fileName();
      const QString caption = windowTitle().isEmpty() ? QStringLiteral("開く") : windowTitle();
      if (options_.FileMustExist) {
        QMessageBox::warning(this, caption, name + QStringLiteral("\nファイルが見つかりません。"));
        return;
      }
      if (options_.CreatePrompt &&
          QMessageBox::question(this, caption,
                                name + QStringLiteral("\nこのファイルは存在しません。\n作成しますか?")) !=
              QMessageBox::Yes)
        return;
    }
    chosen_ = files;
    QDialog::accept();  // the checks of the base dialog are the ones above
  }

 private:
  // What the name box holds ("a.dic", or "a.dic" "b.dic" when several are
  // chosen), made full paths in the shown folder, with the default extension
  // added to a name that has none. The base dialog would drop names that do
  // not exist before they could be asked about.
  QStringList Named() const {
    QStringList names;
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString text = edit != nullptr ? edit->text().trimmed() : QString();
    if (text.isEmpty()) return selectedFiles();
    if (text.startsWith(QLatin1Char('"'))) {
      const QStringList parts = text.split(QLatin1Char('"'));
      for (qsizetype i = 1; i < parts.size(); i += 2)
        if (!parts[i].isEmpty()) names << parts[i];
    } else {
      names << text;
    }
    QStringList out;
    for (QString n : names) {
      if (QFileInfo(n).suffix().isEmpty() && !options_.DefaultExt.isEmpty() && !QFileInfo(directory(), n).isDir())
        n += QLatin1Char('.') + options_.DefaultExt;
      out << QDir::cleanPath(directory().absoluteFilePath(n));
    }
    return out;
  }

  const TOpenDialog& options_;
  QStringList chosen_;
};

}  // namespace

bool TOpenDialog::Execute(QWidget* owner) {
  Files.clear();
  FileName.clear();
  Refused = 0;
  ModalCall call;
  call.kind = ModalCall::OpenFile;
  call.openDialog = this;
  int r = RunDialog(call, [&]() -> int {
    OpenFileDialog dlg(owner, Title, *this);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::ReadOnly, false);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(AllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    const QStringList filters = PipeFilterToNameFilters(Filter);
    // The descriptions name their patterns already: show them as written.
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    dlg.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size()) dlg.selectNameFilter(filters[FilterIndex - 1]);
    if (!InitialDir.empty()) dlg.setDirectory(FromCp932Exact(InitialDir));
    if (dlg.exec() != QDialog::Accepted) return mrCancel;
    std::vector<std::string> chosen;
    for (const QString& f : dlg.Chosen()) {
      if (auto p = ToCp932(f)) chosen.push_back(*p);
      else ++Refused;
    }
    SetChosen(chosen);
    return chosen.empty() ? mrCancel : mrOk;
  });
  if (r != mrOk) {
    Files.clear();
    FileName.clear();
    return false;
  }
  return !Files.empty();
}

bool TFontDialog::Execute(QWidget* owner) {
  ModalCall call;
  call.kind = ModalCall::Font;
  call.fontDialog = this;
  int r = RunDialog(call, [&]() -> int {
    FontChooser dlg(owner);
    dlg.SetFont(Font);
    if (dlg.exec() != QDialog::Accepted) return mrCancel;
    Font = dlg.SelectedFont();
    return mrOk;
  });
  return r == mrOk;
}

}  // namespace tavo::ui
