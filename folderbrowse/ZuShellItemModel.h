// What the shell views show of a shell item, shared by the folder tree's
// model and the file list's: its name as Qt text, and its icon, whose
// selected state is the item's open icon. Icons are made once per pair of
// image-list indexes and kept. UI thread only.
#pragma once

#include <QIcon>
#include <QString>

#include "folderbrowse/ZuShellCtrls.h"

namespace tavo {

// The icon of an item: its small icon, and its small open icon where the
// view draws the item selected.
QIcon ShellItemIcon(TShellDataItem& item);

// The icon of a pair of indexes of the system image list, with the overlay
// of `overlayIndex` (ShellIcons.h; -1 for none) over both.
QIcon ShellItemIcon(int iconIndex, int openIconIndex, int overlayIndex = -1);

}  // namespace tavo
