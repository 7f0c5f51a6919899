// The rows of the path combo (ZuShellPathCombo.h): shell items kept as the
// pre-order flattening of a tree of folders. Row 0 is the desktop; every
// row is followed directly by all its descendants; the children of a row
// keep the shell's order. No child lists are stored: navigation works on
// positions, levels and each row's parent.
//
// The list owns its items, each item its lists. A row made while the
// combo's items are ready is temporary (a step of a path shown), one made
// while they are being rebuilt is permanent. The observer hears of every
// row that comes or goes, before and after. UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "folderbrowse/ZuShellCtrls.h"

namespace tavo {

class TShellComboList;

class TShellComboItem final : public TShellDataItem {
 public:
  // Takes both lists over. `parent` is the row above (null for the desktop).
  TShellComboItem(TShellComboList* owner, bool temporary, PItemIDList relative, PItemIDList absolute,
                  TShellComboItem* parent);

  int Index() const override;
  int Level() override { return level_; }
  // All IDs of the absolute list but the last; none for a level-1 row.
  PCItemIDList ParentPIDL() override;
  PCItemIDList AbsolutePIDL() override { return absolutePIDL_; }
  bool IsValid() const override { return absolutePIDL_ != nullptr && relativePIDL_ != nullptr; }

  TShellComboItem* ParentItem() const { return parent_; }
  void SetParentItem(TShellComboItem* parent) { parent_ = parent; }
  bool Temporary;

 private:
  TShellComboList* owner_;
  TShellComboItem* parent_;
  int level_;
};

class TShellComboListObserver {
 public:
  virtual void BeginInsert(int /*row*/) {}
  virtual void EndInsert() {}
  virtual void BeginRemove(int /*row*/) {}
  virtual void EndRemove() {}

 protected:
  ~TShellComboListObserver() = default;
};

class TShellComboList {
 public:
  TShellComboList() = default;
  TShellComboList(const TShellComboList&) = delete;
  TShellComboList& operator=(const TShellComboList&) = delete;

  void SetObserver(TShellComboListObserver* observer) { observer_ = observer; }
  // New rows are temporary while this is true (the combo's ItemsReady).
  bool ItemsReady = false;

  int Count() const { return static_cast<int>(items_.size()); }
  // The row at `position`; nullptr out of range.
  TShellComboItem* ItemAt(int position) const;
  int IndexOf(const TShellComboItem* item) const;
  TShellComboItem* FirstItem() const { return ItemAt(0); }
  TShellComboItem* LastItem() const { return ItemAt(Count() - 1); }

  TShellComboItem* NextItem(const TShellComboItem* item) const;
  TShellComboItem* PrevItem(const TShellComboItem* item) const;
  // The row right after `item` when it is its child.
  TShellComboItem* FirstChild(const TShellComboItem* item) const;
  // The nearest row forwards (backwards) at the level of `item`.
  TShellComboItem* NextAtLevel(TShellComboItem* item) const;
  TShellComboItem* PrevAtLevel(TShellComboItem* item) const;
  // NextAtLevel (PrevAtLevel) of `item` when that is a child of `parent`.
  TShellComboItem* NextSibling(const TShellComboItem* parent, TShellComboItem* item) const;
  TShellComboItem* PrevSibling(const TShellComboItem* parent, TShellComboItem* item) const;
  TShellComboItem* LastChild(TShellComboItem* item) const;
  // Removes the rows below `item` (not `item` itself).
  void RemoveChildren(TShellComboItem* item);
  static int ItemIndent(TShellComboItem& item) { return item.Level() * 12; }

  // A new row (not in the list yet); null unless both lists are given.
  std::unique_ptr<TShellComboItem> NewItem(TShellComboItem* parent, PItemIDList absolute, PItemIDList relative);
  // Each answers the row it inserted.
  TShellComboItem* InsertAfter(TShellComboItem* item, std::unique_ptr<TShellComboItem> added);
  TShellComboItem* InsertBefore(TShellComboItem* item, std::unique_ptr<TShellComboItem> added);
  TShellComboItem* InsertChild(TShellComboItem* parent, std::unique_ptr<TShellComboItem> added);
  void RemoveAt(int position);
  // Removes every temporary row, from the last to the first.
  void RemoveTemporary();
  void Clear();

  // Told before a row goes (the combo forgets its selection).
  std::function<void(TShellComboItem* item)> OnRemoving;

 private:
  TShellComboItem* InsertAt(int position, std::unique_ptr<TShellComboItem> added);

  std::vector<std::unique_ptr<TShellComboItem>> items_;
  TShellComboListObserver* observer_ = nullptr;
};

}  // namespace tavo
