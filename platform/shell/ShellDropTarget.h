// The drop target of a shell object: what a control hands every hover and
// the drop of a drag to. The controls only pass the calls on; the target
// chooses the effect from the key state and carries the drop out.
//
// The one kind made here is the target of a file-system folder: it takes
// the objects a drag names (ShellDataObject.h), copies or moves them into
// the folder (ShellFileOperation.h: never replacing anything, never a
// folder into itself) and reports what it left undone; the work runs
// through the questions' RunFileOperation (ShellQuestions.h), which keeps
// the window responsive and can cancel it. With Ctrl it copies, with Shift
// it moves, otherwise it moves within a volume and copies across volumes
// (the volume of a target is that of the folder it leads to, links
// followed); after a right-button drag it asks which. Links are not made.
// UI thread (the questions go to the user).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellFileOperation.h"
#include "platform/shell/ShellQuestions.h"

namespace tavo {

// Results of the drop-target and drop-source calls.
using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

// Drop effects.
inline constexpr std::uint32_t DROPEFFECT_NONE = 0;
inline constexpr std::uint32_t DROPEFFECT_COPY = 1;
inline constexpr std::uint32_t DROPEFFECT_MOVE = 2;
inline constexpr std::uint32_t DROPEFFECT_LINK = 4;

// Key state of a drag (buttons and modifier keys).
inline constexpr std::uint32_t MK_LBUTTON = 0x1;
inline constexpr std::uint32_t MK_RBUTTON = 0x2;
inline constexpr std::uint32_t MK_SHIFT = 0x4;
inline constexpr std::uint32_t MK_CONTROL = 0x8;
inline constexpr std::uint32_t MK_MBUTTON = 0x10;
inline constexpr std::uint32_t MK_ALT = 0x20;

class ShellDropTarget {
 public:
  virtual ~ShellDropTarget() = default;
  // `effect` in: the effects the source allows; out: what a drop would do.
  virtual HRESULT DragEnter(const ShellDataObject& data, std::uint32_t keyState, DropPoint pt,
                            std::uint32_t& effect) = 0;
  virtual HRESULT DragOver(std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) = 0;
  virtual HRESULT DragLeave() = 0;
  // `effect` out: what was done (DROPEFFECT_NONE when nothing was).
  virtual HRESULT Drop(const ShellDataObject& data, std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) = 0;
};

// The target of an existing folder (OS path); nullptr for anything else.
std::shared_ptr<ShellDropTarget> FileSystemDropTarget(const std::string& osFolder);

}  // namespace tavo
