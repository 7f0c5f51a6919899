// The program's font dialog: the font family, its style and the size in
// points, strike-out and underline, and a sample of the choice. Every
// control is named by its label for a screen reader, the lists tell their
// current entry as focused only while they have the focus, and the dialog
// opens on the family list. TFontDialog (FileDialogs.h) shows it. UI thread
// only.
#pragma once

#include <QDialog>
#include <QFont>

class QCheckBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace tavo::ui {

class FontChooser : public QDialog {
 public:
  explicit FontChooser(QWidget* parent = nullptr);

  // The font the dialog starts from: its family as this desktop resolves
  // it, its style, its size in points, its strike-out and underline.
  void SetFont(const QFont& font);
  // The font chosen, sized in points.
  QFont SelectedFont() const;

  QListWidget* FamilyList = nullptr;
  QListWidget* StyleList = nullptr;
  QSpinBox* SizeBox = nullptr;
  QCheckBox* StrikeOut = nullptr;
  QCheckBox* Underline = nullptr;
  QLabel* Sample = nullptr;

 private:
  void FillStyles(const QString& wanted);
  void ShowSample();
};

}  // namespace tavo::ui
