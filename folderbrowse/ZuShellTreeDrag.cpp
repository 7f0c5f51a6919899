// The folder tree as a drag source and a drop target (see ZuShellFolderTree.h
// and ZuShellDragDrop.h).
#include "folderbrowse/ZuShellFolderTree.h"

namespace tavo {
namespace {

// A node hovered over this many times in a row opens.
constexpr int kHoversToExpand = 30;

}  // namespace

bool TShellFolderTree::DoShBeginDrag(TShellFolderNode* node, DropPoint start, int x, int y) {
  bool canDrag = true;
  if (OnShBeginDrag) OnShBeginDrag(node, start, x, y, canDrag);
  return canDrag;
}

void TShellFolderTree::DoShDragOver(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y) {
  if (OnShDragOver) OnShDragOver(drag, node, shift, x, y);
}

bool TShellFolderTree::DoShDragDrop(TShellDragObject& drag, TShellFolderNode* node, TShiftState shift, int x, int y) {
  bool defaultAction = true;
  if (OnShDragDrop) OnShDragDrop(drag, node, shift, x, y, defaultAction);
  return defaultAction;
}

std::optional<TShellDragStart> TShellFolderTree::BeginDrag(int x, int y, bool leftDown, bool rightDown) {
  if (dragState_ != dsLeftPressed && dragState_ != dsRightPressed) return std::nullopt;
  TShellFolderNode* node = dropHilite_;
  if (node == nullptr || !node->Valid()) return std::nullopt;
  const bool stillDown = dragState_ == dsLeftPressed ? leftDown : rightDown;
  if (!stillDown || !DragThresholdPassed(dragStartX_, dragStartY_, x, y)) return std::nullopt;
  TShellFolderItem* item = node->Item();
  if (!item->HasAttribute(2) && !item->HasAttribute(0) && !item->HasAttribute(1)) return std::nullopt;
  if (!DoShBeginDrag(node, {dragStartX_, dragStartY_}, x, y)) return std::nullopt;
  ShellFolderPtr folder;
  if (!item->ParentFolder(folder)) return std::nullopt;
  PCItemIDList relative = node->Level() == 0 ? item->AbsolutePIDL() : item->RelativePIDL();
  std::uint32_t effects = SFGAO_CAPABILITYMASK;
  if (!folder->GetAttributesOf({&relative, 1}, effects)) return std::nullopt;
  TShellDragStart start;
  start.Data = MakeShellDataObject(item->ParentPIDL(), {&relative, 1});
  start.AllowedEffects = effects;
  if (start.Data.Empty()) return std::nullopt;
  dragState_ = dsDragging;
  return start;
}

void TShellFolderTree::EndDrag() {
  dragState_ = dsIdle;
  DragEnded();
}

void TShellFolderTree::DragEnded() {
  if (!dirChangedInDrag_ || dragState_ != dsIdle) return;
  dirChangedInDrag_ = false;
  DirChanged();
}

HRESULT TShellFolderTree::DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint screen,
                                    std::uint32_t& effect) {
  hoverCount_ = 0;
  bool accepted = false;
  const HRESULT r = dropSite_.Enter(data, keyState, screen, effect, accepted);
  if (accepted) dragState_ = dsDragging;
  return r;
}

HRESULT TShellFolderTree::DragOver(TShellFolderNode* node, DropPoint client, std::uint32_t keyState,
                                   DropPoint screen, std::uint32_t& effect) {
  TShellDragObject* drag = dropSite_.CurrentDragObject();
  if (drag == nullptr) {
    effect = DROPEFFECT_NONE;
    return S_OK;
  }
  try {
    if (node == nullptr) {
      effect = DROPEFFECT_NONE;
      SetDropHilite(nullptr);
      hoverCount_ = 0;
      return S_OK;
    }
    TShellFolderNode* before = dropHilite_;
    SetDropHilite(node);
    HRESULT result = S_OK;
    if (!node->Valid()) {
      effect = DROPEFFECT_NONE;  // a node without a usable folder is no target
    } else if (!node->Item()->HasAttribute(6) && node->Level() != 0) {
      effect = DROPEFFECT_NONE;
    } else {
      auto target = node->Item()->ItemDropTarget();
      result = dropSite_.Probe(target, keyState, screen, effect);
      if (target) DoShDragOver(*drag, node, ShiftStateFromKeys(keyState), client.x, client.y);
    }
    if (node == before) {
      if (++hoverCount_ > kHoversToExpand && node->HasChildren) {
        Expand(node);
        hoverCount_ = 0;
      }
    } else {
      hoverCount_ = 0;
    }
    return result;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TShellFolderTree::DragLeave() {
  dropSite_.Leave(true);
  SetDropHilite(nullptr);
  dragState_ = dsIdle;
  DragEnded();
  return S_OK;
}

HRESULT TShellFolderTree::Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint client,
                               DropPoint screen, std::uint32_t& effect) {
  HRESULT result = S_OK;
  try {
    TShellDragObject* drag = dropSite_.CurrentDragObject();
    TShellFolderNode* node = dropHilite_;
    if (drag == nullptr || data == nullptr) {
      result = E_INVALIDARG;
    } else if (node == nullptr || !node->Valid()) {
      effect = DROPEFFECT_NONE;
    } else {
      const bool defaultAction = DoShDragDrop(*drag, node, ShiftStateFromKeys(keyState), client.x, client.y);
      std::shared_ptr<ShellDropTarget> target;
      if (defaultAction && (node->Item()->HasAttribute(6) || node->Level() == 0))
        target = node->Item()->ItemDropTarget();
      result = dropSite_.Forward(target, *data, keyState, screen, effect);
    }
  } catch (...) {
    result = E_UNEXPECTED;
  }
  dropSite_.Leave(false);
  SetDropHilite(nullptr);
  dragState_ = dsIdle;
  DragEnded();
  return result;
}

}  // namespace tavo
