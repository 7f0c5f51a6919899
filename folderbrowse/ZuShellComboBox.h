// TZuShellComboBox: the path combo control, a Qt drop-down list over the
// rows of a TShellPathCombo (ZuShellPathCombo.h), which does the work. Each
// row shows the folder's small icon and name, indented 12 pixels a level;
// the closed control shows the selected folder's path. Choosing a row with
// the mouse or the keyboard (arrows, then Enter, or Alt+Down to open) makes
// the linked tree select that folder. A drag dropped on it copies or moves
// into the selected folder. UI thread only.
#pragma once

#include <QComboBox>

#include <memory>

#include "folderbrowse/ZuShellPathCombo.h"

namespace tavo {

class TShellComboModel;

class TZuShellComboBox : public QComboBox {
  Q_OBJECT
 public:
  explicit TZuShellComboBox(QWidget* parent = nullptr);
  ~TZuShellComboBox() override;

  TShellPathCombo& Combo() { return *combo_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  std::unique_ptr<TShellPathCombo> combo_;
  TShellComboModel* model_ = nullptr;
};

}  // namespace tavo
