#include "folderbrowse/ZuShellComboList.h"

#include <algorithm>

namespace tavo {

TShellComboItem::TShellComboItem(TShellComboList* owner, bool temporary, PItemIDList relative, PItemIDList absolute,
                                 TShellComboItem* parent)
    : TShellDataItem(relative, absolute),
      Temporary(temporary),
      owner_(owner),
      parent_(parent),
      level_(ItemIDCount(absolute)) {}

int TShellComboItem::Index() const { return owner_ != nullptr ? owner_->IndexOf(this) : -1; }

PCItemIDList TShellComboItem::ParentPIDL() {
  if (parentPIDL_ == nullptr) parentPIDL_ = ::tavo::ParentPIDL(absolutePIDL_);
  return parentPIDL_;
}

TShellComboItem* TShellComboList::ItemAt(int position) const {
  return position >= 0 && position < Count() ? items_[static_cast<std::size_t>(position)].get() : nullptr;
}

int TShellComboList::IndexOf(const TShellComboItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

TShellComboItem* TShellComboList::NextItem(const TShellComboItem* item) const {
  const int i = IndexOf(item);
  return i < 0 ? nullptr : ItemAt(i + 1);
}

TShellComboItem* TShellComboList::PrevItem(const TShellComboItem* item) const {
  const int i = IndexOf(item);
  return i <= 0 ? nullptr : ItemAt(i - 1);
}

TShellComboItem* TShellComboList::FirstChild(const TShellComboItem* item) const {
  TShellComboItem* next = NextItem(item);
  return next != nullptr && next->ParentItem() == item ? next : nullptr;
}

TShellComboItem* TShellComboList::NextAtLevel(TShellComboItem* item) const {
  const int i = IndexOf(item);
  if (i < 0) return nullptr;
  const int level = item->Level();
  for (int k = i + 1; k < Count(); ++k)
    if (ItemAt(k)->Level() == level) return ItemAt(k);
  return nullptr;
}

TShellComboItem* TShellComboList::PrevAtLevel(TShellComboItem* item) const {
  const int i = IndexOf(item);
  if (i < 0) return nullptr;
  const int level = item->Level();
  for (int k = i - 1; k >= 0; --k)
    if (ItemAt(k)->Level() == level) return ItemAt(k);
  return nullptr;
}

TShellComboItem* TShellComboList::NextSibling(const TShellComboItem* parent, TShellComboItem* item) const {
  if (item == nullptr || item->ParentItem() != parent) return nullptr;
  TShellComboItem* next = NextAtLevel(item);
  return next != nullptr && next->ParentItem() == parent ? next : nullptr;
}

TShellComboItem* TShellComboList::PrevSibling(const TShellComboItem* parent, TShellComboItem* item) const {
  if (item == nullptr || item->ParentItem() != parent) return nullptr;
  TShellComboItem* prev = PrevAtLevel(item);
  return prev != nullptr && prev->ParentItem() == parent ? prev : nullptr;
}

TShellComboItem* TShellComboList::LastChild(TShellComboItem* item) const {
  TShellComboItem* last = FirstChild(item);
  for (TShellComboItem* next = last; next != nullptr; next = NextSibling(item, next)) last = next;
  return last;
}

void TShellComboList::RemoveChildren(TShellComboItem* item) {
  TShellComboItem* child = FirstChild(item);
  while (child != nullptr) {
    TShellComboItem* next = NextSibling(item, child);
    RemoveChildren(child);
    RemoveAt(IndexOf(child));
    child = next;
  }
}

std::unique_ptr<TShellComboItem> TShellComboList::NewItem(TShellComboItem* parent, PItemIDList absolute,
                                                          PItemIDList relative) {
  if (absolute == nullptr || relative == nullptr) {
    FreePIDL(absolute);
    FreePIDL(relative);
    return nullptr;
  }
  return std::make_unique<TShellComboItem>(this, ItemsReady, relative, absolute, parent);
}

TShellComboItem* TShellComboList::InsertAt(int position, std::unique_ptr<TShellComboItem> added) {
  if (!added) return nullptr;
  position = std::clamp(position, 0, Count());
  if (observer_ != nullptr) observer_->BeginInsert(position);
  TShellComboItem* p = added.get();
  items_.insert(items_.begin() + position, std::move(added));
  if (observer_ != nullptr) observer_->EndInsert();
  return p;
}

TShellComboItem* TShellComboList::InsertAfter(TShellComboItem* item, std::unique_ptr<TShellComboItem> added) {
  return InsertAt(item == nullptr ? 0 : IndexOf(item) + 1, std::move(added));
}

TShellComboItem* TShellComboList::InsertBefore(TShellComboItem* item, std::unique_ptr<TShellComboItem> added) {
  if (added) added->SetParentItem(item->ParentItem());
  return InsertAt(IndexOf(item), std::move(added));
}

TShellComboItem* TShellComboList::InsertChild(TShellComboItem* parent, std::unique_ptr<TShellComboItem> added) {
  if (!added) return nullptr;
  added->SetParentItem(parent);
  // After the parent's last child and that child's descendants.
  int at = IndexOf(parent) + 1;
  if (TShellComboItem* last = LastChild(parent)) {
    at = IndexOf(last) + 1;
    const int level = last->Level();
    while (at < Count() && ItemAt(at)->Level() > level) ++at;
  }
  return InsertAt(at, std::move(added));
}

void TShellComboList::RemoveAt(int position) {
  TShellComboItem* item = ItemAt(position);
  if (item == nullptr) return;
  if (OnRemoving) OnRemoving(item);
  if (observer_ != nullptr) observer_->BeginRemove(position);
  items_.erase(items_.begin() + position);
  if (observer_ != nullptr) observer_->EndRemove();
}

void TShellComboList::RemoveTemporary() {
  for (int i = Count() - 1; i >= 0; --i)
    if (ItemAt(i)->Temporary) RemoveAt(i);
}

void TShellComboList::Clear() {
  for (int i = Count() - 1; i >= 0; --i) RemoveAt(i);
}

}  // namespace tavo
