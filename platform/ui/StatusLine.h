// Status lines whose news reaches a screen reader. A label made a status
// line is exported to assistive technology as a notification that bears its
// text; AnnounceStatus sets the text and, once the running command has
// returned, signals the notification as shown anew, which screen readers
// speak without moving the focus; texts set one after the other within one
// command are heard once, the last of them. Setting the label's text
// directly changes it quietly. UI thread only.
#pragma once

#include <QString>

class QLabel;

namespace tavo::ui {

void MakeStatusLine(QLabel* label);
void AnnounceStatus(QLabel* label, const QString& text);

}  // namespace tavo::ui
