// The file list as a drag source and a drop target (see ZuShellFileList.h
// and ZuShellDragDrop.h).
#include "folderbrowse/ZuShellFileList.h"

#include "platform/text/OsPath.h"

namespace tavo {

void TShellFileList::SetDropHighlight(int index) {
  if (index == dropHighlight_) return;
  dropHighlight_ = index;
  if (observer_ != nullptr) observer_->RowsChanged();
}

std::shared_ptr<ShellDropTarget> TShellFileList::FolderDropTarget() const {
  const auto os = ToOsPath(FolderPath());
  return os ? FileSystemDropTarget(*os) : nullptr;
}

std::optional<TShellDragStart> TShellFileList::BeginDrag(int x, int y, bool leftDown, bool rightDown) {
  if (dragState_ != dsLeftPressed && dragState_ != dsRightPressed) return std::nullopt;
  const bool stillDown = dragState_ == dsLeftPressed ? leftDown : rightDown;
  if (!shellFolder_ || !stillDown || !DragThresholdPassed(dragStartX_, dragStartY_, x, y)) return std::nullopt;
  const TShellIDList& selection = SelectionIDList();
  if (selection.Count() == 0) return std::nullopt;
  if (!selection.AllHaveAttribute(2) && !selection.AllHaveAttribute(0) && !selection.AllHaveAttribute(1))
    return std::nullopt;
  if (!DoShBeginDrag(selection, {dragStartX_, dragStartY_}, x, y)) return std::nullopt;
  std::vector<PCItemIDList> items(selection.PIDLArray(), selection.PIDLArray() + selection.Count());
  TShellDragStart start;
  start.Data = MakeShellDataObject(selection.ParentPIDL(), items);
  start.AllowedEffects = selection.CapabilityAttributes();
  if (start.Data.Empty()) return std::nullopt;
  dragState_ = dsDragging;
  return start;
}

void TShellFileList::EndDrag() {
  dragState_ = dsIdle;
  RunPendingReports();
}

HRESULT TShellFileList::DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt,
                                  std::uint32_t& effect) {
  bool accepted = false;
  return dropSite_.Enter(data, keyState, pt, effect, accepted);
}

HRESULT TShellFileList::DragOver(int index, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) {
  TShellDragObject* drag = dropSite_.CurrentDragObject();
  if (drag == nullptr) {
    effect = DROPEFFECT_NONE;
    return S_OK;
  }
  try {
    TShellFileItem* item = index >= 0 ? ItemAt(index) : nullptr;
    if (index >= 0 && item == nullptr) {
      // A row without an item is no target.
      SetDropHighlight(-1);
      effect = DROPEFFECT_NONE;
      return S_OK;
    }
    auto target = item != nullptr && item->HasAttribute(6) ? item->ItemDropTarget() : nullptr;
    // Off a target item the folder shown takes the drop.
    SetDropHighlight(target ? index : -1);
    if (!target && (FolderHasAttribute(6) || FolderLevel() == 0)) target = FolderDropTarget();
    const HRESULT r = dropSite_.Probe(target, keyState, pt, effect);
    if (target) DoShDragOver(*drag, item, ShiftStateFromKeys(keyState), pt.x, pt.y);
    return r;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TShellFileList::DragLeave() {
  SetDropHighlight(-1);
  dropSite_.Leave(true);
  return S_OK;
}

HRESULT TShellFileList::Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt,
                             std::uint32_t& effect) {
  HRESULT result = S_OK;
  try {
    TShellDragObject* drag = dropSite_.CurrentDragObject();
    if (drag == nullptr || data == nullptr) {
      result = E_INVALIDARG;
    } else {
      TShellFileItem* item = ItemAt(dropHighlight_);
      const bool defaultAction = DoShDragDrop(*drag, item, ShiftStateFromKeys(keyState), pt.x, pt.y);
      std::shared_ptr<ShellDropTarget> target;
      if (defaultAction && item != nullptr) {
        if (item->HasAttribute(6)) target = item->ItemDropTarget();
      } else if (defaultAction && (FolderHasAttribute(6) || FolderLevel() == 0)) {
        target = FolderDropTarget();
      }
      result = dropSite_.Forward(target, *data, keyState, pt, effect);
    }
  } catch (...) {
    result = E_UNEXPECTED;
  }
  dropSite_.Leave(false);
  SetDropHighlight(-1);
  return result;
}

// --- Event steps --------------------------------------------------------------------------------

bool TShellFileList::DoShBeginDrag(const TShellIDList& items, DropPoint start, int x, int y) {
  bool canDrag = true;
  if (OnShBeginDrag) OnShBeginDrag(items, start, x, y, canDrag);
  return canDrag;
}

bool TShellFileList::DoShDragEnter(TShellDragObject& drag, TShiftState shift, DropPoint pt) {
  bool accept = true;
  if (OnShDragEnter) OnShDragEnter(drag, shift, pt, accept);
  return accept;
}

void TShellFileList::DoShDragOver(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y) {
  if (OnShDragOver) OnShDragOver(drag, item, shift, x, y);
}

void TShellFileList::DoShDragLeave() {
  if (OnShDragLeave) OnShDragLeave();
}

bool TShellFileList::DoShDragDrop(TShellDragObject& drag, TShellFileItem* item, TShiftState shift, int x, int y) {
  bool defaultAction = true;
  if (OnShDragDrop) OnShDragDrop(drag, item, shift, x, y, defaultAction);
  return defaultAction;
}

}  // namespace tavo
