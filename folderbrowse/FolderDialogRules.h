// The rules of the search-folder dialog that need no window: which items
// its file list shows, which typed paths its tree follows, where "up one
// level" leads, and how its folder history grows. Paths and names are CP932
// (a '/' is never part of a two-byte character). Pure functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

// Whether the file list shows an item with these find-data attributes and
// this name: never a system or temporary item; a folder whatever its name;
// anything else only a RUTE document, whose name ends in ".RUT" (ASCII
// letters in either case).
bool FolderDialogShows(std::uint32_t attributes, std::string_view name);

// Whether the tree follows a path typed into the path box: one from the root.
bool FollowsTypedPath(std::string_view text);

// The folder above `path`: cut at the last '/', and "/" above a folder of
// the root. nullopt for the root itself and for a folder without a path.
std::optional<std::string> ParentFolderPath(std::string_view path);

// Adds a folder confirmed with OK to the history (oldest first): nothing
// when the history holds that exact folder (names differing only in case
// are two folders); else the oldest goes when the history holds `max`
// entries or more, and the folder is appended. A history loaded longer than
// `max` never shrinks; with `max` 0 or less it keeps the latest folder.
// True when the history changed.
bool AddHistoryFolder(std::vector<std::string>& history, const std::string& folder, int max);

}  // namespace tavo
