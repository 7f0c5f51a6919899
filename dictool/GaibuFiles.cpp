#include "dictool/GaibuFiles.h"

#include "dictool/DicLine.h"
#include "platform/files/FolderListing.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

}  // namespace

void AddSubFolders(const std::string& osFolder, std::vector<std::string>& folders, SeenFolders& seen) {
  std::vector<FolderEntry> entries;
  if (ListFolder(osFolder, entries) != 0) return;
  for (const FolderEntry& e : entries) {
    if (!e.IsFolder || e.Name.starts_with('.')) continue;
    if (!seen.insert({e.Device, e.Inode}).second) continue;
    const std::string path = Join(osFolder, e.Name);  // not a reference into `folders`, which grows
    folders.push_back(path);
    AddSubFolders(path, folders, seen);
  }
}

DocumentList CollectDocuments(std::string_view folder, bool subfolders) {
  DocumentList out;
  const std::optional<std::string> root = ToOsPath(folder);
  if (!root) return out;
  std::vector<std::string> folders{*root};
  if (subfolders) {
    SeenFolders seen;
    std::uint64_t device = 0, inode = 0;
    if (FolderIdentity(*root, device, inode) == 0) seen.insert({device, inode});
    AddSubFolders(*root, folders, seen);
  }
  std::vector<FolderEntry> entries;
  for (const std::string& f : folders) {
    // A folder below that cannot be listed failed in AddSubFolders too;
    // it is named here, once.
    if (const int error = ListFolder(f, entries); error != 0) {
      out.UnlistedFolders.push_back({f, error});
      continue;
    }
    for (const FolderEntry& e : entries) {
      if (!e.IsFile || !IsRutFile(e.Name)) continue;
      if (std::optional<std::string> path = FromOsPath(Join(f, e.Name)))
        out.Files.push_back(std::move(*path));
      else
        ++out.Unnamed;
    }
  }
  return out;
}

}  // namespace tavo
