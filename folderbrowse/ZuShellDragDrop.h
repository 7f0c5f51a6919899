// What the drag and drop of the shell controls (folder tree, file list,
// path combo) share: the drag object handed to their events, the state of
// a control as a drop target, and the rules every control follows alike:
// which data it accepts, how a hover and a drop are passed on to the shell
// drop target under the pointer, when a press becomes a drag, and how the
// view scrolls near its edges.
//
// A control never reads the dropped data itself: the shell target does
// (ShellDropTarget.h). Window-free; UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellCtrls.h"
#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellDropTarget.h"

namespace tavo {

// The drag now over a control, as its events see it. It holds the drag's
// data; FileNames and ItemIDs stay empty (the data is the shell target's).
class TShellDragObject {
 public:
  // Throws std::invalid_argument ("パラメータが不正です。", CP932) without data.
  explicit TShellDragObject(std::shared_ptr<const ShellDataObject> data);
  const ShellDataObject& DataObject() const { return *data_; }

  std::vector<std::string> FileNames;
  TShellIDList2 ItemIDs;

 private:
  std::shared_ptr<const ShellDataObject> data_;
};

// What starts a drag out of a control: the data of the dragged objects and
// the effects their capabilities allow (DROPEFFECT_* bits among others).
struct TShellDragStart {
  ShellDataObject Data;
  std::uint32_t AllowedEffects = 0;
};

// A press became a drag: the mouse is more than 5 pixels away on an axis.
bool DragThresholdPassed(int startX, int startY, int x, int y);

// The drop source's reply while a drag runs: cancel on Escape or with both
// buttons held, drop when neither is, else go on.
HRESULT QueryContinueDrag(bool escapePressed, std::uint32_t keyState);

// One line of scrolling near a view's edges during a drag: -1, 0 or 1 per
// axis. `edge` is the font height; `thumbV` (`thumbH`) the scroll bar's
// width where the view can scroll vertically (horizontally), else 0; each
// moves the far edge of its own axis.
struct TAutoScroll {
  int dx = 0;
  int dy = 0;
};
TAutoScroll AutoScrollStep(int x, int y, int width, int height, int edge, int thumbV, int thumbH);

// A control as a drop target: the accepted drag and the shell targets that
// received a drop. The events are the control's.
class TShellDropSite {
 public:
  // Events. Accept and DefaultAction come in true.
  std::function<void(TShellDragObject& drag, TShiftState shift, DropPoint pt, bool& accept)> OnShDragEnter;
  std::function<void()> OnShDragLeave;

  TShellDragObject* CurrentDragObject() const { return current_.get(); }
  bool RightButtonDrag() const { return rightButtonDrag_; }
  const std::vector<std::shared_ptr<ShellDropTarget>>& HeldDropTargets() const { return held_; }

  // The start of every DragEnter: forgets the drag; E_INVALIDARG without
  // data, else S_OK with `effect` 0 when the data offers no shell objects or
  // OnShDragEnter refuses; `accepted` tells that a drag object was made.
  HRESULT Enter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect,
                bool& accepted);
  // Forgets the drag object; fires OnShDragLeave when there was one and
  // `notify`.
  void Leave(bool notify);

  // A hover over shell target `t`: its DragEnter with a copy of the effect,
  // its DragOver with `effect` (whose answer and result are the control's),
  // its DragLeave. Without a target or a drag: effect 0.
  HRESULT Probe(const std::shared_ptr<ShellDropTarget>& t, std::uint32_t keyState, DropPoint pt,
                std::uint32_t& effect);
  // The drop passed on to `t`: DragEnter and DragOver with the key state
  // plus the button that made the drag (it is up by now), then, only when
  // both succeeded, Drop with the key state as received; `t` is then held.
  // Without a target, or when its DragEnter or DragOver failed: effect 0
  // and S_OK.
  HRESULT Forward(const std::shared_ptr<ShellDropTarget>& t, const ShellDataObject& data, std::uint32_t keyState,
                  DropPoint pt, std::uint32_t& effect);
  // Lets go of the held targets nobody else holds, from the last to the first.
  void ReleaseIdleDropTargets();

 private:
  std::unique_ptr<TShellDragObject> current_;
  bool rightButtonDrag_ = false;
  std::vector<std::shared_ptr<ShellDropTarget>> held_;
};

// The data accepted from a drag: shell objects or file names.
bool OffersShellObjects(const ShellDataObject& data);

}  // namespace tavo
