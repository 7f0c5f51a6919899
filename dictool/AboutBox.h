// TdlgAboutBox: the about box, a fixed dialog with the program icon, its name
// and version and one OK button. It has no logic of its own.
#pragma once

#include "platform/ui/Modal.h"

class QFrame;
class QLabel;
class QPushButton;

namespace tavo {

class TdlgAboutBox : public ui::TModalForm {
  Q_OBJECT
 public:
  explicit TdlgAboutBox(QWidget* parent = nullptr);

  QFrame* Panel1 = nullptr;
  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QPushButton* OKButton = nullptr;
};

}  // namespace tavo
