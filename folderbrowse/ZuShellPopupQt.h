// The shell context menu shown with Qt: a menu description
// (ShellContextMenu.h) becomes a QMenu, tracked at a screen point, and the
// chosen entry's command is answered (0 for none). Keyboard: arrows, the
// marked access keys, Enter, Esc. UI thread.
#pragma once

#include <vector>

#include "platform/shell/ShellContextMenu.h"
#include "platform/shell/ShellDropTarget.h"

namespace tavo {

int TrackShellMenu(const std::vector<ShellMenuItem>& menu, DropPoint pt);

}  // namespace tavo
