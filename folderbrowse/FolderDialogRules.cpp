#include "folderbrowse/FolderDialogRules.h"

#include <algorithm>

#include "platform/shell/ShellFindData.h"

namespace tavo {
namespace {

// A file the system keeps for a while only; no listing here sets it, but
// find data from elsewhere may.
constexpr std::uint32_t kTemporary = 0x100;

bool EndsWithRut(std::string_view name) {
  constexpr std::string_view kExt = ".rut";
  if (name.size() < kExt.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExt.size());
  return std::equal(tail.begin(), tail.end(), kExt.begin(),
                    [](char c, char e) { return (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) == e; });
}

}  // namespace

bool FolderDialogShows(std::uint32_t attributes, std::string_view name) {
  if (attributes & (FILE_ATTRIBUTE_SYSTEM | kTemporary)) return false;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || EndsWithRut(name);
}

bool FollowsTypedPath(std::string_view text) { return !text.empty() && text.front() == '/'; }

std::optional<std::string> ParentFolderPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (path.size() <= 1 || slash == std::string_view::npos) return std::nullopt;
  return std::string(slash == 0 ? path.substr(0, 1) : path.substr(0, slash));
}

bool AddHistoryFolder(std::vector<std::string>& history, const std::string& folder, int max) {
  if (std::find(history.begin(), history.end(), folder) != history.end()) return false;
  if (!history.empty() && static_cast<long long>(history.size()) >= max) history.erase(history.begin());
  history.push_back(folder);
  return true;
}

}  // namespace tavo
