// The shell context-menu popup, without a window: the shell's own menu of a
// selection (ShellContextMenu.h) merged with the component's own items. It
// builds one menu description, has it shown and tracked (by Qt's menus in
// the program, by a script in tests), runs the chosen own item or the
// chosen shell command, and answers the caller a code so that it can do
// what the shell leaves to it: 18 after a delete (bring itself up to
// date), 19 for rename (edit the name in place), 25 after a cut (show it
// cut), 17 after a paste; the own item's command for an own item; 0 when
// nothing was chosen or the command failed.
//
// Own items' command numbers are unique at every depth; the shell's
// commands are numbered above the highest of them, so the two never
// overlap. Every entry carries its hint, which the menu shows to the user
// when the entry is reached: an own item's long hint, the shell's help
// text of its command. The menu owns its items. UI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellCtrls.h"
#include "folderbrowse/ZuShellFolderTree.h"
#include "platform/shell/ShellContextMenu.h"

namespace tavo {

// One own menu item (and its sub-items).
class TShellMenuItem {
 public:
  std::string Caption;   // CP932; "-" is a separator
  std::string ShortCut;  // shown after a tab, e.g. "Ctrl+N"
  // CP932. Its long part (after the first '|', or all of it) is the
  // entry's hint.
  std::string Hint;
  // Its picture: the menu's Images at this index (-1: none), or a picture
  // file (a CP932 path; empty: none).
  int ImageIndex = -1;
  std::string Bitmap;
  bool Visible = true;
  bool Enabled = true;
  bool Checked = false;
  bool RadioItem = false;
  bool Default = false;
  std::function<void()> OnClick;

  int Command() const { return command_; }
  // A sub-item; its command number is the menu's next.
  TShellMenuItem& Add(std::string caption, std::function<void()> onClick = {});
  const std::vector<std::unique_ptr<TShellMenuItem>>& Items() const { return items_; }

 private:
  friend class TShellPopupMenu;
  TShellMenuItem(int* nextCommand, int command) : nextCommand_(nextCommand), command_(command) {}
  int* nextCommand_;
  int command_;
  std::vector<std::unique_ptr<TShellMenuItem>> items_;
};

enum TShellContextType { shctExplore, shctNormal, shctDefaultOnly };

// Shows a menu description at a screen point and answers the chosen
// command (0 for none).
using TShellMenuTracker = std::function<int(const std::vector<ShellMenuItem>& menu, DropPoint pt)>;
// The tracker of every popup without one of its own (Qt's, once installed).
void SetDefaultShellMenuTracker(TShellMenuTracker tracker);

// The long part of a hint: what follows its first '|' (a character, not a
// CP932 trail byte), or all of it.
std::string GetLongHint(const std::string& hint);

class TShellPopupMenu : public TShellPopupLink {
 public:
  TShellPopupMenu() = default;
  virtual ~TShellPopupMenu() = default;
  TShellPopupMenu(const TShellPopupMenu&) = delete;
  TShellPopupMenu& operator=(const TShellPopupMenu&) = delete;

  // Own items.
  TShellMenuItem& Add(std::string caption, std::function<void()> onClick = {});
  const std::vector<std::unique_ptr<TShellMenuItem>>& Items() const { return items_; }

  // Where the shell's items go: at most after the own items copied.
  // Reading it first lowers it to the number of own items.
  unsigned InsertPos();
  void SetInsertPos(unsigned position) { insertPos_ = position; }
  // The pictures of the own items' ImageIndex (the system image list, say);
  // not owned.
  const TSystemImageList* Images = nullptr;
  // False tells the shell that rename may be offered.
  bool ReadOnly = true;
  TShellContextType ContextType = shctExplore;
  bool AutoPopup = true;
  std::function<void(const TShellIDList& list, DropPoint pt, bool& allowPopup)> OnShBeforPopup;
  std::function<void(TShellMenuItem& item, const TShellIDList& list)> OnShAfterPopup;
  void SetTracker(TShellMenuTracker tracker) { tracker_ = std::move(tracker); }

  // TShellPopupLink.
  void SetAutoPopup(bool on) override { AutoPopup = on; }
  int Popup(const TShellIDList* list, DropPoint pt) override;

  // Copies the visible own items into `menu`; the highest command number
  // among all own items, at any depth (0 without items).
  int InsertOwnItems(std::vector<ShellMenuItem>& menu) const;
  int HighestOwnCommand() const { return highestOwn_; }

 protected:
  // Before the menu is built: OnShBeforPopup, whose allowPopup comes in
  // true; false shows nothing.
  virtual bool DoBeforePopup(const TShellIDList& list, DropPoint pt);
  // After an own item was chosen and clicked: OnShAfterPopup.
  virtual void DoAfterPopup(TShellMenuItem& item, const TShellIDList& list);

 private:
  TShellMenuItem* FindOwn(int command) const;

  std::vector<std::unique_ptr<TShellMenuItem>> items_;
  int nextCommand_ = 1;
  int highestOwn_ = 0;
  unsigned insertPos_ = 0;
  TShellMenuTracker tracker_;
};

}  // namespace tavo
