// A plain listing of one folder, for walks over a tree of documents.
//
// Paths and names here are the bytes on disk (UTF-8, OsPath.h), not CP932:
// a walk must reach entries whose names have no CP932 form too, if only to
// count them; the caller converts what it shows (FromOsPath). Nothing of the
// shell namespace is involved.
//
// Each entry is looked at once: its directory type where that tells it, one
// stat (symbolic links followed) where it does not and for every folder, so
// that a walk can tell a folder it has seen before by its device and inode.
// Failures are errno values, never exceptions. Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavo {

struct FolderEntry {
  std::string Name;        // bytes on disk
  bool IsFile = false;     // a regular file, symbolic links followed
  bool IsFolder = false;   // a folder, symbolic links followed
  // What a folder entry names (links followed); 0 for other entries.
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
};

// Lists the folder `osPath` into `entries` (replacing them), "." and ".."
// left out, in byte order of the names. A dangling link, a fifo, a device
// or a socket is neither file nor folder. Returns 0 or an errno value
// (`entries` is then empty).
int ListFolder(const std::string& osPath, std::vector<FolderEntry>& entries);

// The device and inode of the folder `osPath` (links followed); 0 or an
// errno value (ENOTDIR when it is no folder).
int FolderIdentity(const std::string& osPath, std::uint64_t& device, std::uint64_t& inode);

}  // namespace tavo
