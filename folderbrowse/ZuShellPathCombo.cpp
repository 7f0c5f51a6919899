#include "folderbrowse/ZuShellPathCombo.h"

#include "platform/shell/ShellSortKeys.h"

namespace tavo {
namespace {

PItemIDList SpecialFolder(int number) {
  PItemIDList p = nullptr;
  GetSpecialFolderPIDL(number, p);
  return p;
}

}  // namespace

TShellPathCombo::TShellPathCombo() {
  items_.OnRemoving = [this](TShellComboItem* item) {
    if (item == selected_) selected_ = nullptr;
  };
}

TShellPathCombo::~TShellPathCombo() {
  if (tree_ != nullptr) tree_->SetShellComboBox(nullptr);
  items_.SetObserver(nullptr);
  observer_ = nullptr;
}

void TShellPathCombo::SetObserver(TShellPathComboObserver* observer) {
  observer_ = observer;
  items_.SetObserver(observer);
}

void TShellPathCombo::CreateWindow() {
  hasWindow_ = true;
  RebuildItems();
  if (savedSelection_) {
    UniquePIDL saved = std::move(savedSelection_);
    SelectComboPIDL(saved.get());
  }
}

void TShellPathCombo::DestroyWindow() {
  if (PCItemIDList selected = SelectedComboPIDL()) savedSelection_ = UniquePIDL::CopyOf(selected);
  hasWindow_ = false;
  items_.ItemsReady = false;
  items_.Clear();
}

void TShellPathCombo::BeginUpdate() {
  if (observer_ != nullptr) observer_->BeginUpdate();
}

void TShellPathCombo::EndUpdate() {
  if (observer_ != nullptr) observer_->EndUpdate();
}

void TShellPathCombo::Select(TShellComboItem* item) {
  selected_ = item;
  if (observer_ != nullptr) observer_->SelectionMoved(item != nullptr ? item->Index() : -1);
}

int TShellPathCombo::ItemIndex() const { return selected_ != nullptr ? selected_->Index() : -1; }

void TShellPathCombo::SetItemIndex(int row) { Select(items_.ItemAt(row)); }

PCItemIDList TShellPathCombo::SelectedComboPIDL() const {
  return selected_ != nullptr && selected_->IsValid() ? selected_->AbsolutePIDL() : nullptr;
}

void TShellPathCombo::RebuildItems() {
  items_.ItemsReady = false;
  if (!hasWindow_) return;
  BeginUpdate();
  items_.RemoveTemporary();
  if (items_.Count() == 0) items_.InsertAfter(nullptr, items_.NewItem(nullptr, SpecialFolder(0), SpecialFolder(12)));
  ExpandItem(items_.FirstItem());
  if (TShellComboItem* first = items_.FirstChild(items_.FirstItem())) ExpandItem(first);
  if (selected_ == nullptr) Select(items_.FirstItem());
  items_.ItemsReady = true;
  EndUpdate();
}

bool TShellPathCombo::Keep(TShellComboItem& parent, TShellComboItem& child) {
  return ShowsVirtualChild(parent, child, virtuaItems_);
}

std::vector<std::unique_ptr<TShellComboItem>> TShellPathCombo::EnumChildren(const ShellFolderPtr& folder,
                                                                            TShellComboItem& parent) {
  std::vector<std::unique_ptr<TShellComboItem>> found;
  if (!folder || !parent.IsValid()) return found;
  auto e = folder->EnumObjects(SHCONTF_FOLDERS | (includeHidden_ ? SHCONTF_INCLUDEHIDDEN : 0));
  if (!e) return found;
  for (PItemIDList id = nullptr; e->Next(id, nullptr); id = nullptr) {
    PItemIDList absolute = parent.Level() == 0 ? CopyFirstItemID(id) : ConcatPIDL(parent.AbsolutePIDL(), id);
    auto item = items_.NewItem(&parent, absolute, id);
    if (item && Keep(parent, *item)) found.push_back(std::move(item));
  }
  std::vector<IDListSpan> spans;
  for (const auto& item : found) spans.push_back(SpanOf(item->RelativePIDL()));
  std::vector<std::unique_ptr<TShellComboItem>> sorted;
  for (const std::size_t i : ShellSortOrder(*folder, 0, spans, false)) sorted.push_back(std::move(found[i]));
  return sorted;
}

void TShellPathCombo::ExpandItem(TShellComboItem* item) {
  ShellFolderPtr parentFolder;
  if (item == nullptr || !item->IsValid() || !item->ParentFolder(parentFolder)) return;
  ShellFolderPtr folder = item->Level() == 0 ? parentFolder : parentFolder->BindToObject(item->RelativePIDL());
  if (!folder) return;
  auto found = EnumChildren(folder, *item);
  TShellComboItem* p = items_.FirstChild(item);
  std::size_t i = 0;
  while (i < found.size()) {
    if (p == nullptr || !p->IsValid()) {
      items_.InsertChild(item, std::move(found[i++]));
      continue;
    }
    switch (ComparePIDL(folder, p->RelativePIDL(), found[i]->RelativePIDL())) {
      case 0:  // still there
        p = items_.NextSibling(item, p);
        ++i;
        break;
      case 1:  // new, before p
        items_.InsertBefore(p, std::move(found[i++]));
        break;
      default: {  // p is gone
        TShellComboItem* next = items_.NextSibling(item, p);
        items_.RemoveChildren(p);
        items_.RemoveAt(p->Index());
        p = next;
        break;
      }
    }
  }
  while (p != nullptr) {
    TShellComboItem* next = items_.NextSibling(item, p);
    items_.RemoveChildren(p);
    items_.RemoveAt(p->Index());
    p = next;
  }
}

int TShellPathCombo::LocatePIDL(PCItemIDList target) {
  if (target == nullptr || ItemIDCount(target) <= 0) return 0;
  TShellComboItem* cur = items_.ItemAt(1);
  PCItemIDList rest = target;
  // Each level's parent is expanded at most once, and once the walk has
  // stepped back it ends where the next row would sort before the wanted
  // folder again: a folder that is not among its parent's rows (hidden,
  // gone) cannot make the walk swing between two neighbours.
  bool expanded = false, steppedBack = false;
  ShellFolderPtr folder;
  while (cur != nullptr && cur->IsValid() && cur->ParentFolder(folder)) {
    UniquePIDL id(CopyFirstItemID(rest));
    if (!id) break;
    TShellComboItem* parent = cur->ParentItem();
    const int code = ComparePIDL(folder, cur->RelativePIDL(), id.get());
    if (code == 0) {
      rest = NextItemID(rest);
      if (rest == nullptr) return cur->Index();
      expanded = steppedBack = false;
      if (TShellComboItem* child = items_.FirstChild(cur)) {
        cur = child;
        continue;
      }
      auto row = items_.NewItem(cur, ConcatPIDL(cur->AbsolutePIDL(), UniquePIDL(CopyFirstItemID(rest)).get()),
                                CopyFirstItemID(rest));
      cur = items_.InsertAfter(cur, std::move(row));
    } else if (code == 1) {
      if (parent == nullptr || !(cur->Level() == 1 || parent->ItemType() == itMyComputer)) break;
      if (!expanded) {
        expanded = true;
        ExpandItem(parent);
        if (items_.IndexOf(cur) < 0) break;  // gone (freed): only its address is compared
      }
      cur = items_.PrevSibling(parent, cur);
      steppedBack = true;
    } else if (code == 2) {
      if (steppedBack) break;
      if (TShellComboItem* next = items_.NextSibling(parent, cur)) {
        cur = next;
        continue;
      }
      // A level-1 row has no parent list: a desktop folder missing from the
      // rows is never added here.
      PCItemIDList parentList = cur->ParentPIDL();
      if (parentList == nullptr || parent == nullptr) break;
      cur = items_.InsertChild(parent, items_.NewItem(parent, ConcatPIDL(parentList, id.get()), id.release()));
    } else {
      break;
    }
  }
  return 0;
}

void TShellPathCombo::SelectComboPIDL(PCItemIDList folder) {
  if (folder == nullptr || !items_.ItemsReady) return;
  if (selected_ == nullptr || !selected_->IsValid()) return;
  if (selected_->Level() == ItemIDCount(folder) &&
      ComparePIDL(ShellGetDesktopFolder(), selected_->AbsolutePIDL(), folder) == 0)
    return;
  items_.RemoveTemporary();
  SetItemIndex(LocatePIDL(folder));
}

void TShellPathCombo::Change(int row) {
  TShellComboItem* item = items_.ItemAt(row);
  if (item == nullptr || !item->IsValid()) return;
  Select(item);
  if (item->Temporary) {
    TShellComboItem* child = items_.FirstChild(item);
    if (child != nullptr && child->Temporary) items_.RemoveChildren(item);
  } else {
    items_.RemoveTemporary();
  }
  if (observer_ != nullptr) observer_->SelectionMoved(item->Index());
  if (tree_ != nullptr) tree_->SelectPIDL(item->AbsolutePIDL());
}

void TShellPathCombo::UpdateDriveRow(PCItemIDList drive, const std::string& caption) {
  const int row = LocatePIDL(drive);
  TShellComboItem* item = items_.ItemAt(row);
  if (row == 0 || item == nullptr) return;
  item->ResetIconCaches();
  item->SetDisplayNameCache(caption);
  if (observer_ != nullptr) observer_->RowChanged(row);
}

std::string TShellPathCombo::RowText(int row) {
  TShellComboItem* item = items_.ItemAt(row);
  return item != nullptr && item->IsValid() ? item->DisplayName() : std::string();
}

std::string TShellPathCombo::FieldText(int row) {
  TShellComboItem* item = items_.ItemAt(row);
  if (item == nullptr || !item->IsValid()) return {};
  if (row == 0) return item->DisplayName();
  std::string path = item->GetPath();
  return path.empty() ? item->DisplayName() : path;
}

// --- Drop target ------------------------------------------------------------------

std::shared_ptr<ShellDropTarget> TShellPathCombo::SelectedDropTarget() {
  if (selected_ == nullptr || !selected_->IsValid()) return nullptr;
  if (!selected_->HasAttribute(6) && selected_->Level() != 0) return nullptr;
  return selected_->ItemDropTarget();
}

HRESULT TShellPathCombo::DragEnter(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt,
                                   std::uint32_t& effect) {
  bool accepted = false;
  return dropSite_.Enter(data, keyState, pt, effect, accepted);
}

HRESULT TShellPathCombo::DragOver(std::uint32_t keyState, DropPoint pt, std::uint32_t& effect) {
  TShellDragObject* drag = dropSite_.CurrentDragObject();
  if (drag == nullptr) {
    effect = DROPEFFECT_NONE;
    return S_OK;
  }
  try {
    auto target = SelectedDropTarget();
    const HRESULT r = dropSite_.Probe(target, keyState, pt, effect);
    if (target && OnShDragOver) OnShDragOver(*drag, selected_, ShiftStateFromKeys(keyState), pt.x, pt.y);
    return r;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TShellPathCombo::DragLeave() {
  dropSite_.Leave(true);
  return S_OK;
}

HRESULT TShellPathCombo::Drop(const ShellDataObject* data, std::uint32_t keyState, DropPoint pt,
                              std::uint32_t& effect) {
  HRESULT result = S_OK;
  try {
    TShellDragObject* drag = dropSite_.CurrentDragObject();
    auto target = SelectedDropTarget();
    if (drag == nullptr || data == nullptr) {
      result = E_INVALIDARG;
    } else if (!target) {
      effect = DROPEFFECT_NONE;
    } else {
      bool defaultAction = true;
      if (OnShDragDrop) OnShDragDrop(*drag, selected_, ShiftStateFromKeys(keyState), pt.x, pt.y, defaultAction);
      result = dropSite_.Forward(defaultAction ? target : nullptr, *data, keyState, pt, effect);
    }
  } catch (...) {
    result = E_UNEXPECTED;
  }
  dropSite_.Leave(false);
  return result;
}

}  // namespace tavo
