#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>

#include "Modal.h"
#include "QtText.h"

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

bool TOpenDialog::Execute(QWidget* owner) {
  Files.clear();
  FileName.clear();
  Refused = 0;
  ModalCall call;
  call.kind = ModalCall::OpenFile;
  call.openDialog = this;
  int r = RunDialog(call, [&]() -> int {
    QFileDialog dlg(owner, Title);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::ReadOnly, false);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist yet may be typed; whether that is allowed
    // is decided below, as the options ask.
    dlg.setFileMode(AllowMultiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
    const QStringList filters = PipeFilterToNameFilters(Filter);
    dlg.setNameFilters(filters);
    if (FilterIndex >= 1 && FilterIndex <= filters.size()) dlg.selectNameFilter(filters[FilterIndex - 1]);
    if (!DefaultExt.isEmpty()) dlg.setDefaultSuffix(DefaultExt);
    if (!InitialDir.empty()) dlg.setDirectory(FromCp932Exact(InitialDir));
    if (dlg.exec() != QDialog::Accepted) return mrCancel;
    std::vector<std::string> chosen;
    for (const QString& f : dlg.selectedFiles()) {
      if (!QFileInfo::exists(f)) {
        if (FileMustExist) continue;
        if (CreatePrompt &&
            QMessageBox::question(owner, Title, QFileInfo(f).fileName() + QStringLiteral("\n")) !=
                QMessageBox::Yes)
          continue;
      }
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
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, Font, owner);
    if (ok) Font = f;
    return ok ? mrOk : mrCancel;
  });
  return r == mrOk;
}

}  // namespace tavo::ui
