#include "dictool/AboutBox.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "dictool/Version.h"
#include "platform/ui/FormKeys.h"

namespace tavo {

TdlgAboutBox::TdlgAboutBox(QWidget* parent) : ui::TModalForm(parent) {
  setObjectName(QStringLiteral("dlgAboutBox"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  // A fixed dialog without title-bar buttons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(413, 224);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameShape(QFrame::Panel);
  Panel1->setFrameShadow(QFrame::Raised);
  Panel1->setGeometry(8, 8, 397, 161);

  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(8, 8, 32, 32);
  ProgramIcon->setPixmap(QApplication::windowIcon().isNull()
                             ? style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32)
                             : QApplication::windowIcon().pixmap(32, 32));

  ProductName = new QLabel(QString::fromUtf8(kProductName), Panel1);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  ProductName->setGeometry(88, 16, 300, 24);

  Version = new QLabel(QString::fromUtf8(kVersionText), Panel1);
  Version->setObjectName(QStringLiteral("Version"));
  Version->setGeometry(88, 48, 300, 24);

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(167, 180, 75, 25);
  AddModalButton(OKButton, ui::mrOk);

  auto* keys = new ui::FormKeys(this);
  keys->AddDefaultButton(OKButton);
  keys->SetCancelButton(OKButton);

  ui::CenterOnScreen(this);
}

}  // namespace tavo
