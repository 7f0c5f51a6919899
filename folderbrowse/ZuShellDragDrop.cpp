#include "folderbrowse/ZuShellDragDrop.h"

#include <cstdlib>
#include <stdexcept>

#include "folderbrowse/ZuShellCst.h"

namespace tavo {

TShellDragObject::TShellDragObject(std::shared_ptr<const ShellDataObject> data) : data_(std::move(data)) {
  if (!data_) throw std::invalid_argument(ShellResourceString(SShellInvalidParameter));
}

bool DragThresholdPassed(int startX, int startY, int x, int y) {
  return std::abs(x - startX) > 5 || std::abs(y - startY) > 5;
}

HRESULT QueryContinueDrag(bool escapePressed, std::uint32_t keyState) {
  const bool left = (keyState & MK_LBUTTON) != 0, right = (keyState & MK_RBUTTON) != 0;
  if (escapePressed || (left && right)) return DRAGDROP_S_CANCEL;
  if (!left && !right) return DRAGDROP_S_DROP;
  return S_OK;
}

TAutoScroll AutoScrollStep(int x, int y, int width, int height, int edge, int thumbV, int thumbH) {
  TAutoScroll s;
  if (y < edge) s.dy = -1;
  else if (y > height - thumbV - edge) s.dy = 1;
  if (x < edge) s.dx = -1;
  else if (x > width - thumbH - edge) s.dx = 1;
  return s;
}

bool OffersShellObjects(const ShellDataObject& data) {
  return data.HasFormat(kShellIDListFormat) || data.HasFormat(kUriListFormat);
}

HRESULT TShellDropSite::Enter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt,
                              std::uint32_t& effect, bool& accepted) {
  accepted = false;
  current_.reset();
  if (data == nullptr) return E_INVALIDARG;
  try {
    rightButtonDrag_ = (keyState & MK_RBUTTON) != 0;
    if (!OffersShellObjects(*data)) {
      effect = DROPEFFECT_NONE;
      return S_OK;
    }
    current_ = std::make_unique<TShellDragObject>(std::make_shared<const ShellDataObject>(*data));
    bool accept = true;
    if (OnShDragEnter) OnShDragEnter(*current_, ShiftStateFromKeys(keyState), pt, accept);
    if (!accept) {
      effect = DROPEFFECT_NONE;
      current_.reset();
      return S_OK;
    }
    accepted = true;
    return S_OK;
  } catch (...) {
    current_.reset();
    return E_UNEXPECTED;
  }
}

void TShellDropSite::Leave(bool notify) {
  const bool had = current_ != nullptr;
  current_.reset();
  if (had && notify && OnShDragLeave) OnShDragLeave();
}

HRESULT TShellDropSite::Probe(const std::shared_ptr<ShellDropTarget>& t, std::uint32_t keyState, DropPoint pt,
                              std::uint32_t& effect) {
  if (!current_ || !t) {
    effect = DROPEFFECT_NONE;
    return S_OK;
  }
  std::uint32_t copy = effect;
  t->DragEnter(current_->DataObject(), keyState, pt, copy);
  const HRESULT r = t->DragOver(keyState, pt, effect);
  t->DragLeave();
  return r;
}

HRESULT TShellDropSite::Forward(const std::shared_ptr<ShellDropTarget>& t, const ShellDataObject& data,
                                std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) {
  const std::uint32_t dropKeys = keyState | (rightButtonDrag_ ? MK_RBUTTON : MK_LBUTTON);
  std::uint32_t enterEffect = effect, overEffect = effect;
  if (!t || t->DragEnter(data, dropKeys, pt, enterEffect) != S_OK || t->DragOver(dropKeys, pt, overEffect) != S_OK) {
    if (t) t->DragLeave();
    effect = DROPEFFECT_NONE;
    return S_OK;
  }
  const HRESULT r = t->Drop(data, keyState, pt, effect);
  held_.push_back(t);
  return r;
}

void TShellDropSite::ReleaseIdleDropTargets() {
  for (std::size_t i = held_.size(); i-- > 0;)
    if (held_[i].use_count() == 1) held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace tavo
