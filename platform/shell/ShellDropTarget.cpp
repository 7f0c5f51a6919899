#include "platform/shell/ShellDropTarget.h"

#include <sys/stat.h>

#include <optional>

namespace tavo {
namespace {

std::string ParentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The volume of an object: a source is moved as it is, a link as a link;
// a target folder is the one its path leads to.
std::optional<dev_t> DeviceOf(const std::string& path, bool followLinks) {
  struct stat st {};
  if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return std::nullopt;
  return st.st_dev;
}

class FolderDropTarget final : public ShellDropTarget {
 public:
  explicit FolderDropTarget(std::string folder) : folder_(std::move(folder)) {}

  HRESULT DragEnter(const ShellDataObject& data, std::uint32_t keyState, DropPoint, std::uint32_t& effect) override {
    sources_ = DataObjectOsPaths(data);
    rightDrag_ = (keyState & MK_RBUTTON) != 0;
    allowed_ = effect;
    effect = Choose(keyState, allowed_);
    return S_OK;
  }

  HRESULT DragOver(std::uint32_t keyState, DropPoint, std::uint32_t& effect) override {
    if (keyState & MK_RBUTTON) rightDrag_ = true;
    effect = Choose(keyState, effect);
    return S_OK;
  }

  HRESULT DragLeave() override {
    sources_.clear();
    return S_OK;
  }

  HRESULT Drop(const ShellDataObject& data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) override {
    sources_ = DataObjectOsPaths(data);
    const std::uint32_t allowed = effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE);
    std::uint32_t chosen = Choose(keyState, effect);
    const ShellQuestions& q = GetShellQuestions();
    if (rightDrag_ && chosen != DROPEFFECT_NONE && q.ChooseEffect) chosen = q.ChooseEffect(allowed, chosen, pt) & allowed;
    rightDrag_ = false;
    effect = DROPEFFECT_NONE;
    const std::vector<std::string> sources = std::move(sources_);
    sources_.clear();
    if (chosen != DROPEFFECT_COPY && chosen != DROPEFFECT_MOVE) return S_OK;
    const bool move = chosen == DROPEFFECT_MOVE;
    const FileOpKind kind = move ? FileOpKind::Move : FileOpKind::Copy;
    std::vector<FileOpItem> items;
    FileOpProgress progress;
    RunFileOperation(kind, progress, [&items, &progress, &sources, folder = folder_, move] {
      items = CopyOrMoveInto(sources, folder, move, &progress);
    });
    bool any = false;
    for (const FileOpItem& item : items)
      any = any || item.outcome == FileOpOutcome::Done || item.outcome == FileOpOutcome::SourceLeft;
    ReportUndone(kind, items);
    if (any) effect = chosen;
    return S_OK;
  }

 private:
  // The effect a drop with `keyState` would have, within `allowed`.
  std::uint32_t Choose(std::uint32_t keyState, std::uint32_t allowed) const {
    allowed &= allowed_ & (DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (sources_.empty() || allowed == DROPEFFECT_NONE) return DROPEFFECT_NONE;
    // A drop where every object already lies does nothing.
    bool allHere = true;
    for (const std::string& s : sources_) allHere = allHere && ParentOf(s) == folder_;
    if (allHere) return DROPEFFECT_NONE;
    // Nor does one of a folder on itself or on a folder below it.
    for (const std::string& s : sources_)
      if (IsSameOrBelow(folder_, s)) return DROPEFFECT_NONE;
    const bool ctrl = (keyState & MK_CONTROL) != 0, shift = (keyState & MK_SHIFT) != 0;
    std::uint32_t wanted;
    if (ctrl && shift) return DROPEFFECT_NONE;  // a link: not made here
    if (ctrl) {
      wanted = DROPEFFECT_COPY;
    } else if (shift) {
      wanted = DROPEFFECT_MOVE;
    } else {
      const std::optional<dev_t> target = DeviceOf(folder_, true);
      bool sameVolume = target.has_value();
      for (const std::string& s : sources_) sameVolume = sameVolume && DeviceOf(s, false) == target;
      wanted = sameVolume ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
      if ((allowed & wanted) == 0) wanted = allowed & DROPEFFECT_COPY ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    return allowed & wanted;
  }

  std::string folder_;
  std::vector<std::string> sources_;
  std::uint32_t allowed_ = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  bool rightDrag_ = false;
};

}  // namespace

std::shared_ptr<ShellDropTarget> FileSystemDropTarget(const std::string& osFolder) {
  struct stat st {};
  if (osFolder.empty() || osFolder[0] != '/' || ::stat(osFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return nullptr;
  std::string folder = osFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return std::make_shared<FolderDropTarget>(std::move(folder));
}

}  // namespace tavo
