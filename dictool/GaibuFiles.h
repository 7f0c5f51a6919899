// The documents an external search reads: the RUTE documents of a folder
// and, when asked, of every folder below it.
//
// Order: the folder's own documents, then each subfolder with its whole tree
// before the next subfolder (depth first); within one folder, entries in
// byte order of their names. A document is a regular file (symbolic links
// followed) whose name ends in ".rut" in any ASCII letter case. Folders whose
// name begins with '.' are hidden and not descended (their like among the
// files are collected); each folder is descended once, so a symbolic-link
// cycle or a bind mount met twice is not followed again. A folder that
// cannot be listed is passed over and named with why (UnlistedFolders).
//
// Paths of documents are CP932: the folder, '/', the name. A document whose
// path has no CP932 form can be neither shown nor handed to the editor; it
// is counted, not collected. Window-free; thread-safe.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavo {

// A folder whose entries could not be read.
struct UnlistedFolder {
  std::string OsPath;  // as on disk (UTF-8), since it may have no CP932 form
  int Error = 0;       // errno value
};

struct DocumentList {
  std::vector<std::string> Files;  // CP932 paths, in search order
  int Unnamed = 0;                 // documents left out: no CP932 form of their paths
  std::vector<UnlistedFolder> UnlistedFolders;  // in search order, each once
};

// Folders already descended, by device and inode.
using SeenFolders = std::set<std::pair<std::uint64_t, std::uint64_t>>;

// Appends every folder below `osFolder` (a path on disk, OsPath.h) to
// `folders`, each directly followed by its whole tree, and adds each to
// `seen`; a folder in `seen` already is not appended again.
void AddSubFolders(const std::string& osFolder, std::vector<std::string>& folders, SeenFolders& seen);

// The documents of `folder` (CP932; "" collects nothing) and, with
// `subfolders`, of the folders below it.
DocumentList CollectDocuments(std::string_view folder, bool subfolders);

}  // namespace tavo
