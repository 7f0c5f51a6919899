// The open-file and font dialogs, shown through the modal path of Modal.h so
// that tests can script them (the font dialog is FontChooser.h's). File
// names come back as CP932 paths; a chosen file whose name has no CP932
// form is left out and counted in Refused.
#pragma once

#include <QFont>
#include <QString>

#include <string>
#include <vector>

class QWidget;

namespace tavo::ui {

class TOpenDialog {
 public:
  // Filter in the pipe form: "description|*.A;*.B|description|*.*".
  QString Filter;
  int FilterIndex = 1;     // 1-based, the preselected filter
  QString DefaultExt;      // added to a typed name without an extension
  QString Title;           // empty: the platform's default title
  bool AllowMultiSelect = false;
  bool CreatePrompt = false;      // a typed name that does not exist: ask to create it
  bool HideReadOnly = false;
  bool FileMustExist = false;
  std::string InitialDir;

  // Results of the last Execute (CP932 paths).
  std::vector<std::string> Files;
  std::string FileName;  // the first of Files
  int Refused = 0;       // chosen names without a CP932 form

  // True when the user chose at least one file.
  bool Execute(QWidget* owner);

  // For scripts: stores chosen names as the dialog would.
  void SetChosen(const std::vector<std::string>& cp932Paths);
};

class TFontDialog {
 public:
  QFont Font;
  bool Execute(QWidget* owner);
};

// "desc|*.A;*.B|..." -> Qt name filters "desc (*.A *.B)".
QStringList PipeFilterToNameFilters(const QString& filter);

}  // namespace tavo::ui
