// What the shell views show of a shell item, shared by the folder tree's
// model and the file list's: its name as Qt text, and its icon, whose
// selected state is the item's open icon, with the item's overlay emblem
// (a link, read-only, a folder that cannot be read) in its lower left
// corner. Icons are made once per pair of image-list indexes and overlay,
// and kept until the desktop's theme changes. UI thread only.
#pragma once

#include <QIcon>
#include <QString>

#include "folderbrowse/ZuShellCtrls.h"

namespace tavo {

// The icon of an item: its small icon, and its small open icon where the
// view draws the item selected, with the emblem of `overlayIndex`
// (TShellDataItem::OverlayIndex, -1 for none).
QIcon ShellItemIcon(TShellDataItem& item, int overlayIndex = -1);

// The icon of a pair of indexes of the system image list and an overlay.
QIcon ShellItemIcon(int iconIndex, int openIconIndex, int overlayIndex = -1);

// Makes every icon anew from the desktop's theme, after it changed.
void ReloadShellItemIcons();

// What an overlay says in words, for a screen reader and a tool tip; empty
// for none.
QString OverlayWords(int overlayIndex);

}  // namespace tavo
