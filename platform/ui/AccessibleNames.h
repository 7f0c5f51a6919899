// Accessible names of the forms' controls, as assistive technology reads
// them (AT-SPI, through Qt's accessibility interfaces).
//
// A control named here keeps its name whatever it shows. An editable combo
// box is read by its name rather than by the text typed into it (Qt on Linux
// names a combo box by its text), and its edit field and drop-down list bear
// the same name. Names do not depend on the hint switch (Hints.h keeps the
// descriptions). UI thread only.
#pragma once

#include <QString>

class QAbstractButton;
class QObject;
class QWidget;

namespace tavo::ui {

void SetAccessibleName(QWidget* control, const QString& name);

// A checkable button of an exclusive group (QButtonGroup) is read as a radio
// button named `name`: checked while it is down, its actions ("Press",
// "Toggle") a click, which checks it alone; its hint is no description,
// since the name says it already.
void SetAccessibleRadioButton(QAbstractButton* button, const QString& name);

// Drops the accessible interface that Qt made for `object`, so that the next
// query asks the interface factories anew (after the object was marked for
// one of them).
void RenewAccessibleInterface(QObject* object);

}  // namespace tavo::ui
