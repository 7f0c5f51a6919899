// Icons of shell objects: a fixed table of icon kinds (the system image list),
// chosen from what an item ID says, without looking into files: a folder of
// 100,000 files gets its icons without a single read. Thread-safe.
#pragma once

#include <string>

#include "platform/shell/ShellItemID.h"

namespace tavo {

// Indexes into the system image list; ShellIcons.h draws them.
enum ShellIconIndex : int {
  kIconDocument = 0,  // any other file; also the answer for a list that names nothing
  kIconRuteDocument,  // a file whose name ends in ".RUT", in any case
  kIconFolder,
  kIconOpenFolder,
  kIconFixedVolume,
  kIconRemovableVolume,
  kIconNetworkVolume,
  kIconDesktop,
  kIconComputer,
  kIconNetwork,
  kIconTrash,
  kIconCount
};

// The icon of an absolute list; `open` asks for a folder's open form.
// -1 when the list is malformed or names no object this system knows.
int ShellIconIndexOf(PCItemIDList absolute, bool open);

// The type name of an absolute list (CP932), from its kind and name alone:
// "ファイル フォルダ" for a folder; for a file its extension upper-cased
// and " ファイル" ("RUT ファイル"), or "ファイル" without one; a volume's
// kind ("ローカル ディスク", "リムーバブル ディスク", "ネットワーク
// ドライブ"); "システム フォルダ" for the desktop and its virtual folders.
// Empty when the list is malformed or names nothing this system knows.
std::string ShellTypeNameOf(PCItemIDList absolute);

}  // namespace tavo
