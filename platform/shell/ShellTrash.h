// Moving files and folders to the freedesktop Trash (the desktop's Recycle
// Bin). An object on the volume of the home's Trash
// (${XDG_DATA_HOME:-$HOME/.local/share}/Trash) goes there; an object on
// another volume goes to that volume's $topdir/.Trash/$uid (when .Trash is
// a real folder with the sticky bit) or $topdir/.Trash-$uid; when neither
// can be used it is copied whole into the home's Trash and only then
// removed. Each object gets an info/NAME.trashinfo (its Path and
// DeletionDate) and files/NAME, the name made unique by reserving its info
// file first. Nothing is ever deleted for good here. OS paths (UTF-8). Any
// thread.
#pragma once

#include <string>

namespace tavo {

// Moves `osPath` to the Trash. False, with the system's message in `error`,
// when it could not be moved (then it stays where it was).
bool MoveToTrash(const std::string& osPath, std::string& error);

}  // namespace tavo
