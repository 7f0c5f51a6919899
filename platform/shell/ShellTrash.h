// Moving files and folders to the freedesktop Trash (the desktop's Recycle
// Bin). An object on the volume of the home's Trash
// (${XDG_DATA_HOME:-$HOME/.local/share}/Trash) goes there; an object on
// another volume goes to that volume's $topdir/.Trash/$uid (when .Trash is
// a real folder with the sticky bit) or $topdir/.Trash-$uid; when neither
// can be used it is copied whole into the home's Trash and only then
// removed (ShellFileOperation.h: a failure or a cancel part-way leaves the
// source whole and nothing in the Trash). Each object gets an
// info/NAME.trashinfo (its Path and DeletionDate), written and synced
// first under a name no other holds, then files/NAME; the info goes again
// when the object could not be moved, so the Trash never holds a file
// without its info. A mount point, or a folder that holds one, is never
// moved. Nothing is ever deleted for good here. OS paths (UTF-8). Any
// thread.
#pragma once

#include <string>

#include "platform/shell/ShellFileOperation.h"

namespace tavo {

// Moves `osPath` to the Trash: Done; else why it stays where it was
// (MountPoint, Failed with the errno value, Cancelled); SourceLeft when its
// copy in the Trash is whole but the source could not all be removed.
FileOpItem MoveToTrash(const std::string& osPath, FileOpProgress* progress = nullptr);

}  // namespace tavo
