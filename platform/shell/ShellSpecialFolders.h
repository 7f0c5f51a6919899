// Where the user's special folders are on disk (OS paths, UTF-8, without a
// trailing '/' except "/"). Read from the environment and the XDG user-dirs
// file on every call; nothing is cached. Thread-safe as far as the
// environment is not changed meanwhile.
#pragma once

#include <string>

namespace tavo {

// $HOME when it is an absolute path, else the password database's home, else "/".
std::string HomeOsPath();

// The XDG desktop directory (XDG_DESKTOP_DIR of
// ${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs, else $HOME/Desktop), when
// it is an existing folder whose path has a CP932 form; else the home folder
// under the same condition; else "/". Never empty.
std::string DesktopOsPath();

// ${XDG_CONFIG_HOME:-$HOME/.config}.
std::string ConfigHomeOsPath();

// The freedesktop Trash of the home: ${XDG_DATA_HOME:-$HOME/.local/share}/Trash
// and its files/ and info/ folders.
std::string TrashFilesOsPath();
std::string TrashInfoOsPath();

}  // namespace tavo
