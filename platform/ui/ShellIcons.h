// The pictures of the system image list (ShellFileInfo.h): each icon kind
// drawn from the desktop's icon theme, or, where the theme has no such icon,
// from the style's built-in ones. Made once and kept; GUI thread only, with a
// QGuiApplication (the built-in pictures need a QApplication).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavo::ui {

// The icon of an index of the system image list; the document icon for an
// index outside the table.
QIcon ShellIcon(int index);

// Its picture at `size` x `size` pixels (16 small, 32 large).
QPixmap ShellIconPixmap(int index, int size);

// Makes the icons anew from the desktop's theme, after it changed.
void ReloadShellIcons();

}  // namespace tavo::ui
