// Hints (tool tips) with a show-hint switch per control: a control shows its
// hint only while its switch is on. The hint is also the control's
// accessible description, whatever the switch says. UI thread only.
#pragma once

#include <QString>

class QWidget;

namespace tavo::ui {

void SetHint(QWidget* control, const QString& hint);
QString Hint(const QWidget* control);
void SetShowHint(QWidget* control, bool show);
bool ShowHint(const QWidget* control);

}  // namespace tavo::ui
