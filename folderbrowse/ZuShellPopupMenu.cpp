#include "folderbrowse/ZuShellPopupMenu.h"

#include <algorithm>

#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

TShellMenuTracker& DefaultTracker() {
  static TShellMenuTracker tracker;
  return tracker;
}

// The shell's commands run from here up to this number.
constexpr int kLastCommand = 0x7FFF;

void CopyItem(const TShellMenuItem& own, const TSystemImageList* images, std::vector<ShellMenuItem>& menu) {
  ShellMenuItem m;
  m.command = own.Command();
  m.text = own.Caption;
  m.separator = own.Caption == "-";
  m.enabled = own.Enabled;
  m.checked = own.Checked;
  m.radio = own.RadioItem;
  m.isDefault = own.Default;
  m.hint = GetLongHint(own.Hint);
  if (images != nullptr && own.ImageIndex >= 0 && own.ImageIndex < images->count) m.imageIndex = own.ImageIndex;
  m.bitmap = own.Bitmap;
  if (own.Items().empty()) m.shortcut = own.ShortCut;
  for (const auto& sub : own.Items())
    if (sub->Visible) CopyItem(*sub, images, m.subMenu);
  menu.push_back(std::move(m));
}

int Highest(const std::vector<std::unique_ptr<TShellMenuItem>>& items) {
  int h = 0;
  for (const auto& item : items) h = std::max({h, item->Command(), Highest(item->Items())});
  return h;
}

TShellMenuItem* Find(const std::vector<std::unique_ptr<TShellMenuItem>>& items, int command) {
  for (const auto& item : items) {
    if (item->Command() == command) return item.get();
    if (TShellMenuItem* sub = Find(item->Items(), command)) return sub;
  }
  return nullptr;
}

}  // namespace

void SetDefaultShellMenuTracker(TShellMenuTracker tracker) { DefaultTracker() = std::move(tracker); }

std::string GetLongHint(const std::string& hint) {
  for (std::size_t i = 0; i < hint.size(); i += IsLeadByte(static_cast<unsigned char>(hint[i])) ? 2 : 1)
    if (hint[i] == '|') return hint.substr(i + 1);
  return hint;
}

TShellMenuItem& TShellMenuItem::Add(std::string caption, std::function<void()> onClick) {
  const int command = (*nextCommand_)++;
  items_.push_back(std::unique_ptr<TShellMenuItem>(new TShellMenuItem(nextCommand_, command)));
  items_.back()->Caption = std::move(caption);
  items_.back()->OnClick = std::move(onClick);
  return *items_.back();
}

TShellMenuItem& TShellPopupMenu::Add(std::string caption, std::function<void()> onClick) {
  const int command = nextCommand_++;
  items_.push_back(std::unique_ptr<TShellMenuItem>(new TShellMenuItem(&nextCommand_, command)));
  items_.back()->Caption = std::move(caption);
  items_.back()->OnClick = std::move(onClick);
  return *items_.back();
}

unsigned TShellPopupMenu::InsertPos() {
  insertPos_ = std::min<unsigned>(insertPos_, static_cast<unsigned>(items_.size()));
  return insertPos_;
}

int TShellPopupMenu::InsertOwnItems(std::vector<ShellMenuItem>& menu) const {
  for (const auto& item : items_)
    if (item->Visible) CopyItem(*item, Images, menu);
  return Highest(items_);
}

bool TShellPopupMenu::DoBeforePopup(const TShellIDList& list, DropPoint pt) {
  bool allow = true;
  if (OnShBeforPopup) OnShBeforPopup(list, pt, allow);
  return allow;
}

void TShellPopupMenu::DoAfterPopup(TShellMenuItem& item, const TShellIDList& list) {
  if (OnShAfterPopup) OnShAfterPopup(item, list);
}

TShellMenuItem* TShellPopupMenu::FindOwn(int command) const { return Find(items_, command); }

int TShellPopupMenu::Popup(const TShellIDList* list, DropPoint pt) {
  std::uint32_t flags = ContextType == shctExplore ? CMF_EXPLORE : ContextType == shctDefaultOnly ? CMF_DEFAULTONLY
                                                                                                  : CMF_NORMAL;
  if (!ReadOnly) flags |= CMF_CANRENAME;
  if (list == nullptr || list->Count() == 0 || !list->GetParentFolder()) return 0;
  if (!DoBeforePopup(*list, pt)) return 0;
  std::vector<PCItemIDList> items(list->PIDLArray(), list->PIDLArray() + list->Count());
  std::unique_ptr<ShellContextMenu> shell = ShellContextMenu::Create(list->ParentPIDL(), items);
  if (!shell) return 0;
  std::vector<ShellMenuItem> menu;
  highestOwn_ = InsertOwnItems(menu);
  const std::size_t position = std::min<std::size_t>(insertPos_, menu.size());
  const std::size_t before = menu.size();
  if (!shell->QueryContextMenu(menu, position, highestOwn_ + 1, kLastCommand, flags)) return 0;
  if (position < menu.size()) menu[position].isDefault = true;
  // The shell's entries bear its help texts ("" clears the hint, as " ").
  for (std::size_t i = position; i < position + (menu.size() - before); ++i) {
    if (menu[i].separator) continue;
    std::string help;
    menu[i].hint = shell->GetCommandString(menu[i].command - highestOwn_ - 1, help) && !help.empty() ? help : " ";
  }
  const TShellMenuTracker& track = tracker_ ? tracker_ : DefaultTracker();
  const int chosen = track ? track(menu, pt) : 0;
  if (chosen <= 0) return 0;
  if (chosen <= highestOwn_) {
    TShellMenuItem* own = FindOwn(chosen);
    if (own == nullptr) return 0;
    if (own->OnClick) own->OnClick();
    DoAfterPopup(*own, *list);
    return chosen;
  }
  const int offset = chosen - highestOwn_;
  if (offset == kVerbRename + 1) return offset;  // the caller edits the name
  return shell->InvokeCommand(offset - 1) ? offset : 0;
}

}  // namespace tavo
