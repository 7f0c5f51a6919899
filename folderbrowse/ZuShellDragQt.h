// The edge between the shell controls' drag and drop and Qt's: data objects
// and mime data, key states, effects and drop actions, the drag loop of a
// drag source, and the Qt answers to what drops and the context menu ask
// of the user (the right-button drop menu, the clipboard; the file
// operations' in ZuShellFileOpQt.h). UI thread.
#pragma once

#include <Qt>

#include <cstdint>

#include "folderbrowse/ZuShellDragDrop.h"

class QMimeData;
class QWidget;

namespace tavo {

// The formats of mime data that the shell controls read (only those).
ShellDataObject ShellDataOf(const QMimeData* mime);
// New mime data of a data object (the caller owns it).
QMimeData* MimeDataOf(const ShellDataObject& data);

std::uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
std::uint32_t EffectsOf(Qt::DropActions actions);
Qt::DropActions DropActionsOf(std::uint32_t effects);
Qt::DropAction DropActionOf(std::uint32_t effect);

// Runs the drag loop of a drag out of `source`; returns when it ends.
void RunShellDrag(QWidget* source, const TShellDragStart& start);

// Installs the Qt answers of ShellQuestions (ZuShellFileOpQt.h) and
// ShellClipboardAccess and Qt's menus as the popups' tracker, once (the
// views call it; a test may install its own afterwards). The first call
// also removes what copies of a killed run left (CopyJournal.h).
void InstallShellQtServices();

}  // namespace tavo
