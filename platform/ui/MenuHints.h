// Hints of menu entries, told the ways a user meets them: the status tip
// that a window with a status bar shows, a tool tip under the mouse, and the
// entry's accessible description, which a screen reader speaks with its
// name when the keyboard reaches it (Qt's own menu entries have none).
// UI thread only.
#pragma once

#include <QString>

class QAction;

namespace tavo::ui {

// The hint of an entry of a menu; a blank hint clears the status line and
// shows no tool tip and no description.
void SetMenuHint(QAction* action, const QString& hint);

}  // namespace tavo::ui
