// The shell's context menu of objects of one folder, over the file system:
// open (the desktop's opener), cut, copy, paste into a folder, delete (to
// the Trash), rename (left to the caller, which edits the name in place)
// and copy the path. It fills a plain menu description, which the popup
// shows; the window system's clipboard is reached through hooks, so that
// the menu works without a window and tests can look at what it wrote.
//
// The objects' paths are taken when the menu is made. Texts are CP932.
// UI thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellItemID.h"

namespace tavo {

// Query flags.
inline constexpr std::uint32_t CMF_NORMAL = 0;
inline constexpr std::uint32_t CMF_DEFAULTONLY = 1;
inline constexpr std::uint32_t CMF_EXPLORE = 4;
inline constexpr std::uint32_t CMF_CANRENAME = 16;

// The verbs, counted from the first command the menu is given.
enum ShellVerb : int {
  kVerbOpen = 0,
  kVerbPaste = 16,
  kVerbDelete = 17,
  kVerbRename = 18,
  kVerbCut = 24,
  kVerbCopy = 25,
  kVerbCopyPath = 26,
};

// One entry of a menu description. A separator has no command; an entry
// with a sub-menu has its own entries.
struct ShellMenuItem {
  int command = 0;
  std::string text;  // CP932; "&" marks the access key
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  bool radio = false;
  bool isDefault = false;
  std::string shortcut;  // shown after a tab, e.g. "Ctrl+C"
  std::string hint;      // CP932; told to the user when the entry is reached
  int imageIndex = -1;   // its picture in the system image list; -1: none
  std::string bitmap;    // or a picture file's path (CP932); empty: none
  std::vector<ShellMenuItem> subMenu;
};

// The clipboard as the menu needs it.
struct ShellClipboardAccess {
  std::function<ShellDataObject()> Get;
  std::function<void(const ShellDataObject&)> Set;
};
void SetShellClipboard(ShellClipboardAccess access);

class ShellContextMenu {
 public:
  // The menu of `items` (relative lists) of the folder `parent` (absolute);
  // nullptr when there are none or one has no path on disk.
  static std::unique_ptr<ShellContextMenu> Create(PCItemIDList parent, std::span<const PCItemIDList> items);

  // Inserts its entries into `menu` at `position` (at most the end), with
  // the command numbers idFirst + verb; an entry whose number would pass
  // idLast is left out. False when it added nothing.
  bool QueryContextMenu(std::vector<ShellMenuItem>& menu, std::size_t position, int idFirst, int idLast,
                        std::uint32_t flags);
  // Runs a verb. False when it failed or is not the menu's to run
  // (rename). Paste and delete run through the questions'
  // RunFileOperation, and what they left undone is told through their
  // ReportUndone (ShellQuestions.h).
  bool InvokeCommand(int verb);
  // The help text of a verb (CP932): what it does, one sentence. False for
  // a verb the menu does not have.
  bool GetCommandString(int verb, std::string& helpText) const;

 private:
  ShellContextMenu() = default;
  bool Can(std::uint32_t attribute) const { return (attributes_ & attribute) == attribute; }

  std::vector<std::string> osPaths_;
  std::vector<std::string> cp932Paths_;
  std::uint32_t attributes_ = 0;
  bool inTrash_ = false;
  ShellDataObject itemsData_;
};

}  // namespace tavo
