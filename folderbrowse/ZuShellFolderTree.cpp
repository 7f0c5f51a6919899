#include "folderbrowse/ZuShellFolderTree.h"

#include <algorithm>
#include <utility>

#include "platform/shell/ShellAllocator.h"
#include "platform/shell/ShellContextMenu.h"
#include "platform/shell/ShellSortKeys.h"
#include "platform/shell/ShellVolumes.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

UniquePIDL SpecialFolder(int number) {
  PItemIDList p = nullptr;
  GetSpecialFolderPIDL(number, p);
  return UniquePIDL(p);
}

// The comparison code of two items' relative lists in `folder`.
int CompareItems(const ShellFolderPtr& folder, const TShellFolderItem& a, const TShellFolderItem& b) {
  if (!folder) return 3;
  const auto r = folder->CompareIDs(0, a.RelativeSpan(), b.RelativeSpan());
  if (!r) return 3;
  const auto code = static_cast<std::int16_t>(static_cast<std::uint32_t>(*r) & 0xFFFF);
  return code == 0 ? 0 : code > 0 ? 1 : 2;
}

// A lookup of the folder to enumerate for a node: the desktop itself at
// level 0, else its parent's binding to it.
ShellFolderPtr FolderOf(TShellFolderItem& item) {
  ShellFolderPtr parent;
  if (!item.ParentFolder(parent)) return nullptr;
  if (item.Level() == 0) return parent;
  return parent->BindToObject(item.RelativePIDL());
}

// A volume's mount point as the watched folders name it: CP932, ending in
// '/'; nothing for one without a CP932 form.
std::optional<std::string> DriveRoot(const std::string& mountPoint) {
  std::optional<std::string> root = FromOsPath(mountPoint);
  if (root && (root->empty() || root->back() != '/')) *root += '/';
  return root;
}

}  // namespace

// --- TShellFolderItem ---------------------------------------------------------

TShellFolderItem::TShellFolderItem(TShellFolderNode* node, PItemIDList absolute, PItemIDList relative)
    : TShellDataItem(relative, absolute),
      node_(node),
      level_(ItemIDCount(absolute)),
      relativeSize_(ValidIDListSize(relative)) {}

int TShellFolderItem::Index() const {
  if (node_ == nullptr) return -1;
  // Depth first from the root: the nodes before this one.
  int index = 0;
  const TShellFolderNode* n = node_;
  while (n->Parent() != nullptr) {
    const TShellFolderNode* parent = n->Parent();
    for (int i = 0; i < n->Row(); ++i) {
      std::vector<const TShellFolderNode*> stack{parent->Child(i)};
      while (!stack.empty()) {
        const TShellFolderNode* m = stack.back();
        stack.pop_back();
        ++index;
        for (int k = 0; k < m->Count(); ++k) stack.push_back(m->Child(k));
      }
    }
    ++index;  // the parent itself
    n = parent;
  }
  return index;
}

PCItemIDList TShellFolderItem::ParentPIDL() {
  if (parentPIDL_ == nullptr) {
    if (level_ == 1)
      parentPIDL_ = SpecialFolder(0).release();
    else
      parentPIDL_ = ::tavo::ParentPIDL(absolutePIDL_);
  }
  return parentPIDL_;
}

void TShellFolderItem::ReplaceRelative(PItemIDList relative) {
  UniquePIDL newRelative(relative);
  UniquePIDL newAbsolute(level_ == 1 ? CopyFirstItemID(newRelative.get())
                                     : ConcatPIDL(ParentPIDL(), newRelative.get()));
  UniquePIDL oldRelative(relativePIDL_), oldAbsolute(absolutePIDL_);
  relativeSize_ = newRelative.size();
  relativePIDL_ = newRelative.release();
  absolutePIDL_ = newAbsolute.release();
  displayName_.clear();
  ResetIconCaches();
}

// --- TShellFolderNode ---------------------------------------------------------

TShellFolderNode::TShellFolderNode(TShellFolderNode* parent, std::unique_ptr<TShellFolderItem> item)
    : parent_(parent), item_(std::move(item)) {
  if (item_) item_->SetNode(this);
}

int TShellFolderNode::Row() const {
  if (parent_ == nullptr) return 0;
  for (int i = 0; i < parent_->Count(); ++i)
    if (parent_->Child(i) == this) return i;
  return 0;
}

bool TShellFolderNode::IsAtOrBelow(const TShellFolderNode* ancestor) const {
  for (const TShellFolderNode* n = this; n != nullptr; n = n->Parent())
    if (n == ancestor) return true;
  return false;
}

// --- TShellFolderTree: life ------------------------------------------------------

TShellFolderTree::TShellFolderTree(TShDirWatcherTiming timing) {
  GetFixedDrives(fixedDrives_);
  watcher_ = new TShDirWatcher(
      nullptr, FILE_NOTIFY_CHANGE_DIR_NAME,
      [this](TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data) { DeviceChanged(sender, std::move(data)); },
      [this](TShDirWatcher*) { DirChanged(); }, timing, false);
  watcher_->SetOnTerminate([this](ui::TThread*) { WatcherTerminated(); });
  ShellCtrlList().RegisterControl(this);
}

TShellFolderTree::~TShellFolderTree() {
  ShellCtrlList().UnregisterControl(this);
  if (list_ != nullptr) list_->SetTreeLink(nullptr);
  if (combo_ != nullptr) combo_->SetTreeLink(nullptr);
  if (watcher_ != nullptr) {
    watcher_->SetOnTerminate(nullptr);
    watcher_->Stop();
    watcher_ = nullptr;
  }
  observer_ = nullptr;
}

void TShellFolderTree::WatcherTerminated() { watcher_ = nullptr; }

// --- Properties ------------------------------------------------------------------

void TShellFolderTree::SetIncludeHidden(bool include) {
  if (include == includeHidden_) return;
  includeHidden_ = include;
  if (list_ != nullptr) list_->SetIncludeHidden(include);
  RefreshAll();
  if (combo_ != nullptr) {
    combo_->StoreIncludeHidden(include);
    combo_->RebuildItems();
    combo_->SelectComboPIDL(SelectedPIDL());
  }
  if (list_ != nullptr) list_->Browse(SelectedPIDL());
}

void TShellFolderTree::SetShVirtuaItems(TShVirtuaItems items) {
  if (items == virtuaItems_) return;
  virtuaItems_ = items;
  if (list_ != nullptr) list_->SetShVirtuaItems(items);
  RefreshAll();
  if (combo_ != nullptr) {
    combo_->StoreShVirtuaItems(items);
    combo_->RebuildItems();
    combo_->SelectComboPIDL(SelectedPIDL());
  }
}

void TShellFolderTree::SetShellListView(TShellListLink* list) {
  if (list == list_) return;
  if (list_ != nullptr) list_->SetTreeLink(nullptr);
  list_ = list;
  if (list_ == nullptr) return;
  list_->SetTreeLink(this);
  list_->SetShVirtuaItems(virtuaItems_);
  list_->StoreIncludeHidden(includeHidden_);
  if (PCItemIDList selected = SelectedPIDL()) list_->BrowseTo(selected);
}

void TShellFolderTree::SetShellComboBox(TShellComboLink* combo) {
  if (combo == combo_) return;
  if (combo_ != nullptr) combo_->SetTreeLink(nullptr);
  combo_ = combo;
  if (combo_ == nullptr) return;
  combo_->SetTreeLink(this);
  combo_->StoreShVirtuaItems(virtuaItems_);
  combo_->StoreIncludeHidden(includeHidden_);
  combo_->RebuildItems();
  combo_->SelectComboPIDL(SelectedPIDL());
}

void TShellFolderTree::SetShellPopupMenu(TShellPopupLink* popup) {
  popup_ = popup;
  if (popup_ != nullptr) popup_->SetAutoPopup(false);
}

void TShellFolderTree::SetCheckboxes(bool on) {
  if (on == checkboxes_) return;
  checkboxes_ = on;
  if (observer_ != nullptr) observer_->CheckboxesChanged();
  // The checks of the nodes go with the boxes: the nodes are built anew.
  if (!on && root_) RecreateWindow();
}

void TShellFolderTree::SetChecked(TShellFolderNode* node, bool checked) {
  if (node == nullptr || node->Checked == checked) return;
  node->Checked = checked;
  if (observer_ != nullptr) observer_->NodeChanged(node);
}

// --- Events ------------------------------------------------------------------------

void TShellFolderTree::DoChange() {
  if (OnChange) OnChange();
}

bool TShellFolderTree::DoChanging(TShellFolderNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(node, allow);
  return allow;
}

bool TShellFolderTree::DoExpanding(TShellFolderNode* node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(node, allow);
  return allow;
}

void TShellFolderTree::DoExpanded(TShellFolderNode* node) {
  if (OnExpanded) OnExpanded(node);
}

bool TShellFolderTree::DoCollapsing(TShellFolderNode* node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(node, allow);
  return allow;
}

void TShellFolderTree::DoCollapsed(TShellFolderNode* node) {
  if (OnCollapsed) OnCollapsed(node);
}

bool TShellFolderTree::DoEditing(TShellFolderNode* node) {
  bool allow = true;
  if (OnEditing) OnEditing(node, allow);
  return allow;
}

void TShellFolderTree::DoEdited(TShellFolderNode* node, std::string& text) {
  if (OnEdited) OnEdited(node, text);
}

void TShellFolderTree::DoDeletion(TShellFolderNode* node) {
  if (OnDeletion) OnDeletion(node);
}

void TShellFolderTree::DoGetImageIndex(TShellFolderNode* node) {
  if (OnGetImageIndex) OnGetImageIndex(node);
}

void TShellFolderTree::DoGetSelectedIndex(TShellFolderNode* node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(node);
}

// --- Nodes -------------------------------------------------------------------------

std::unique_ptr<TShellFolderItem> TShellFolderTree::MakeItem(TShellFolderNode* parent, PItemIDList relative) {
  UniquePIDL rel(relative);
  TShellFolderItem* p = parent->Item();
  UniquePIDL absolute(p->Level() == 0 ? ClonePIDL(rel.get()) : ConcatPIDL(p->AbsolutePIDL(), rel.get()));
  if (!rel || !absolute) return nullptr;
  return std::make_unique<TShellFolderItem>(nullptr, absolute.release(), rel.release());
}

bool TShellFolderTree::Keep(TShellFolderItem& parent, TShellFolderItem& child) {
  return ShowsVirtualChild(parent, child, virtuaItems_);
}

std::vector<std::unique_ptr<TShellFolderItem>> TShellFolderTree::EnumFolders(const ShellFolderPtr& folder,
                                                                             TShellFolderItem& parent) {
  std::vector<std::unique_ptr<TShellFolderItem>> items;
  if (!folder) return items;
  auto e = folder->EnumObjects(SHCONTF_FOLDERS | (includeHidden_ ? SHCONTF_INCLUDEHIDDEN : 0));
  if (!e) return items;
  TShellFolderNode* parentNode = parent.Node();
  for (PItemIDList id = nullptr; e->Next(id, nullptr); id = nullptr) {
    std::unique_ptr<TShellFolderItem> item = MakeItem(parentNode, id);
    if (item && Keep(parent, *item)) items.push_back(std::move(item));
  }
  std::vector<IDListSpan> spans;
  spans.reserve(items.size());
  for (const auto& item : items) spans.push_back(item->RelativeSpan());
  std::vector<std::unique_ptr<TShellFolderItem>> sorted;
  sorted.reserve(items.size());
  for (const std::size_t i : ShellSortOrder(*folder, 0, spans, false)) sorted.push_back(std::move(items[i]));
  return sorted;
}

void TShellFolderTree::AttachNode(TShellFolderNode* node) {
  TShellFolderItem* item = node->Item();
  const bool hasChildren = item->HasAttribute(17);
  const int overlay = item->OverlayIndex();
  if (hasChildren == node->HasChildren && overlay == node->OverlayIndex) return;
  node->HasChildren = hasChildren;
  node->OverlayIndex = overlay;
  if (observer_ != nullptr) observer_->NodeChanged(node);
}

TShellFolderNode* TShellFolderTree::InsertNode(TShellFolderNode* parent, int row,
                                               std::unique_ptr<TShellFolderItem> item) {
  auto node = std::make_unique<TShellFolderNode>(parent, std::move(item));
  TShellFolderNode* n = node.get();
  n->Text = n->Item()->DisplayName();
  n->HasChildren = n->Item()->HasAttribute(17);
  n->OverlayIndex = n->Item()->OverlayIndex();
  if (observer_ != nullptr) observer_->BeginInsert(parent, row);
  parent->children_.insert(parent->children_.begin() + row, std::move(node));
  if (observer_ != nullptr) observer_->EndInsert();
  return n;
}

void TShellFolderTree::Forget(TShellFolderNode* node) {
  if (selected_ != nullptr && selected_->IsAtOrBelow(node)) {
    selected_ = nullptr;
    selectionLost_ = true;
  }
  if (dropHilite_ != nullptr && dropHilite_->IsAtOrBelow(node)) dropHilite_ = nullptr;
  if (cutNode_ != nullptr && cutNode_->IsAtOrBelow(node)) cutNode_ = nullptr;
}

void TShellFolderTree::DeleteChildren(TShellFolderNode* parent, int first, int last) {
  if (first > last) return;
  for (int i = first; i <= last; ++i) Forget(parent->Child(i));
  const auto from = parent->children_.begin() + first, to = parent->children_.begin() + last + 1;
  if (observer_ != nullptr) observer_->BeginRemove(parent, first, last);
  std::vector<std::unique_ptr<TShellFolderNode>> removed(std::make_move_iterator(from), std::make_move_iterator(to));
  parent->children_.erase(from, to);
  if (observer_ != nullptr) observer_->EndRemove();
  ReleaseNodes(std::move(removed));
}

void TShellFolderTree::ReleaseNodes(std::vector<std::unique_ptr<TShellFolderNode>> nodes) {
  for (auto& node : nodes) {
    ReleaseNodes(std::move(node->children_));
    node->children_.clear();
    node->item_.reset();
    DoDeletion(node.get());
  }
}

void TShellFolderTree::BuildRoot() {
  if (root_) Clear();
  UniquePIDL desktop = SpecialFolder(0), desktopDir = SpecialFolder(12);
  if (!desktop || !desktopDir) return;
  watcherPaused_ = true;  // told once the nodes stand
  if (observer_ != nullptr) observer_->BeginReset();
  root_ = std::make_unique<TShellFolderNode>(
      nullptr, std::make_unique<TShellFolderItem>(nullptr, desktop.release(), desktopDir.release()));
  root_->Text = root_->Item()->DisplayName();
  root_->HasChildren = root_->Item()->HasAttribute(17);
  if (observer_ != nullptr) observer_->EndReset();
  Expand(root_.get());
  if (root_->Count() > 0) Expand(root_->Child(0));
  rebuilding_ = false;
  // Nothing refuses these moves: the folder selected before is selected
  // again, not chosen anew.
  MoveSelection(root_.get(), true);
  if (savedSelection_) {
    UniquePIDL saved = std::move(savedSelection_);
    if (TShellFolderNode* node = NodeOfPIDL(saved.get())) MoveSelection(node, true);
  }
  ResumeWatcher();
}

void TShellFolderTree::Clear() {
  rebuilding_ = true;
  PauseWatcher();
  if (PCItemIDList selected = SelectedPIDL()) savedSelection_ = UniquePIDL::CopyOf(selected);
  if (observer_ != nullptr) observer_->BeginReset();
  selected_ = nullptr;
  dropHilite_ = nullptr;
  cutNode_ = nullptr;
  std::vector<std::unique_ptr<TShellFolderNode>> removed;
  if (root_) removed.push_back(std::move(root_));
  if (observer_ != nullptr) observer_->EndReset();
  ReleaseNodes(std::move(removed));
}

void TShellFolderTree::RecreateWindow() {
  Clear();
  BuildRoot();
}

void TShellFolderTree::SetExpanded(TShellFolderNode* node, bool expanded) {
  if (node->Expanded == expanded) return;
  node->Expanded = expanded;
  if (observer_ != nullptr) observer_->ExpansionChanged(node);
}

bool TShellFolderTree::Expand(TShellFolderNode* node) {
  if (node == nullptr || !node->Valid()) return false;
  RefreshNode(node);
  if (node->Count() == 0 && node->HasChildren) {
    node->HasChildren = false;
    if (observer_ != nullptr) observer_->NodeChanged(node);
  }
  // Asked after the refresh, so that the handler sees the children.
  if (!DoExpanding(node)) return node->Expanded;
  if (node->Count() == 0) {
    SetExpanded(node, false);
    UpdateWatchedFolders();
    return false;
  }
  SetExpanded(node, true);
  UpdateWatchedFolders();
  DoExpanded(node);
  return true;
}

bool TShellFolderTree::Collapse(TShellFolderNode* node) {
  if (node == nullptr) return false;
  if (!DoCollapsing(node)) return false;
  SetExpanded(node, false);
  UpdateWatchedFolders();
  DoCollapsed(node);
  return true;
}

void TShellFolderTree::RefreshNode(TShellFolderNode* node) {
  if (node == nullptr || !node->Valid()) return;
  ShellFolderPtr folder = FolderOf(*node->Item());
  if (!folder) return;
  auto items = EnumFolders(folder, *node->Item());
  int current = 0;
  std::size_t next = 0;
  while (next < items.size()) {
    if (current >= node->Count() || !node->Child(current)->Valid()) {
      if (current < node->Count()) {  // a node without a usable item is dropped
        DeleteChildren(node, current, current);
        continue;
      }
      InsertNode(node, current++, std::move(items[next++]));
      continue;
    }
    switch (CompareItems(folder, *node->Child(current)->Item(), *items[next])) {
      case 0:  // still there: the node stays as it is
        ++current;
        ++next;
        break;
      case 1:  // new, and it belongs before the current child
        InsertNode(node, current++, std::move(items[next++]));
        break;
      default:  // the current child is gone
        DeleteChildren(node, current, current);
        break;
    }
  }
  DeleteChildren(node, current, node->Count() - 1);
  if (selectionLost_) {
    // The selected folder went: its parent takes the selection, and the
    // partners follow.
    selectionLost_ = false;
    MoveSelection(node, true);
  }
}

void TShellFolderTree::RefreshVisible(TShellFolderNode* node) {
  if (node->Expanded || node->Count() > 0)
    RefreshNode(node);
  else if (node->Valid())
    AttachNode(node);
  if (!node->Expanded) return;
  for (int i = 0; i < node->Count(); ++i) RefreshVisible(node->Child(i));
}

void TShellFolderTree::RefreshAll() {
  if (root_) RefreshVisible(root_.get());
  UpdateWatchedFolders();
}

// --- Selection ----------------------------------------------------------------------

bool TShellFolderTree::CanChange(TShellFolderNode* node) { return !SelectionHeld() && DoChanging(node); }

bool TShellFolderTree::Select(TShellFolderNode* node) { return MoveSelection(node, false); }

bool TShellFolderTree::MoveSelection(TShellFolderNode* node, bool force) {
  if (node == selected_) return true;
  if (!force && !CanChange(node)) return false;
  selected_ = node;
  if (observer_ != nullptr) observer_->SelectionMoved(node);
  Change();
  return true;
}

void TShellFolderTree::Change() {
  if (selected_ != nullptr && selected_->Valid()) {
    if (combo_ != nullptr) combo_->SelectComboPIDL(selected_->Item()->AbsolutePIDL());
    if (list_ != nullptr) list_->BrowseTo(selected_->Item()->AbsolutePIDL());
  }
  DoChange();
}

TShellFolderNode* TShellFolderTree::FindNodeByPIDL(PCItemIDList absolute) {
  TShellFolderNode* root = root_.get();
  if (root == nullptr || absolute == nullptr || root->Count() == 0) return root;
  TShellFolderNode* result = root;
  TShellFolderNode* cur = root->Child(0);
  PCItemIDList rest = absolute;
  // Each level's parent is refreshed at most once, and once the walk has
  // stepped back it only goes on while the siblings still sort after the
  // wanted ID: a folder the filter hides cannot make it swing for ever.
  bool refreshed = false;
  bool steppedBack = false;
  auto stillThere = [](TShellFolderNode* parent, TShellFolderNode* child) {
    for (int i = 0; i < parent->Count(); ++i)
      if (parent->Child(i) == child) return true;
    return false;
  };
  while (cur != nullptr && cur->Valid()) {
    UniquePIDL first(CopyFirstItemID(rest));
    if (!first) break;
    ShellFolderPtr folder;
    cur->Item()->ParentFolder(folder);
    const int code = ComparePIDL(folder, cur->Item()->RelativePIDL(), first.get());
    TShellFolderNode* parent = cur->Parent();
    if (code == 0) {
      rest = NextItemID(rest);
      if (rest == nullptr) {
        result = cur;
        break;
      }
      Expand(cur);
      if (cur->Count() == 0) RefreshNode(cur);
      cur = cur->Count() > 0 ? cur->Child(0) : nullptr;
      refreshed = steppedBack = false;
    } else if (code == 1) {
      if (!refreshed) {
        refreshed = true;
        if (combo_ != nullptr) combo_->RebuildItems();
        RefreshNode(parent);
        if (!stillThere(parent, cur)) break;
      }
      const int row = cur->Row();
      if (row == 0) break;
      cur = parent->Child(row - 1);
      steppedBack = true;
    } else if (code == 2) {
      if (steppedBack) break;
      int row = cur->Row();
      if (row + 1 >= parent->Count()) {
        if (refreshed) break;
        refreshed = true;
        RefreshNode(parent);
        if (!stillThere(parent, cur)) break;
        row = cur->Row();
        if (row + 1 >= parent->Count()) break;
      }
      cur = parent->Child(row + 1);
    } else {
      break;
    }
  }
  return result;
}

void TShellFolderTree::SelectPIDL(PCItemIDList absolute) {
  if (absolute == nullptr || !root_) return;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  if (selected_ != nullptr && selected_->Valid() && selected_->Level() == ItemIDCount(absolute) &&
      ComparePIDL(desktop, selected_->Item()->AbsolutePIDL(), absolute) == 0)
    return;
  // A list the walk does not reach (a file, a hidden folder while hidden
  // ones are left out) selects nothing.
  if (TShellFolderNode* node = NodeOfPIDL(absolute)) Select(node);
}

TShellFolderNode* TShellFolderTree::NodeOfPIDL(PCItemIDList absolute) {
  TShellFolderNode* node = FindNodeByPIDL(absolute);
  if (node == nullptr || !node->Valid()) return nullptr;
  return ComparePIDL(ShellGetDesktopFolder(), node->Item()->AbsolutePIDL(), absolute) == 0 ? node : nullptr;
}

void TShellFolderTree::SetSelectedPath(const std::string& path) {
  PItemIDList raw = nullptr;
  if (!PathToPIDL(path, raw)) return;
  UniquePIDL list(raw);
  SelectPIDL(list.get());
}

std::string TShellFolderTree::GetSelectedPath() const {
  if (selected_ == nullptr || !selected_->Valid()) return {};
  return selected_->Item()->GetPath();
}

PCItemIDList TShellFolderTree::SelectedPIDL() const {
  if (selected_ != nullptr && selected_->Valid()) return selected_->Item()->AbsolutePIDL();
  if (root_ && root_->Valid()) return root_->Item()->AbsolutePIDL();
  return nullptr;
}

// --- Renaming -------------------------------------------------------------------------

bool TShellFolderTree::CanEdit(TShellFolderNode* node) {
  if (node == nullptr || !node->Valid() || dragState_ != dsIdle || node->Level() == 0 ||
      !node->Item()->HasAttribute(3))
    return false;
  return DoEditing(node);
}

bool TShellFolderTree::RenameNode(TShellFolderNode* node, const std::string& typed) {
  if (node == nullptr || !node->Valid()) return false;
  std::string name = typed;
  DoEdited(node, name);
  PauseWatcher();
  if (list_ != nullptr) list_->PauseWatchers();
  TShellFolderItem* item = node->Item();
  bool ok = false;
  ShellFolderPtr folder;
  if (item->HasAttribute(3) && item->ParentFolder(folder)) {
    PItemIDList renamed = nullptr;
    ok = folder->SetNameOf(item->RelativePIDL(), name, 32, &renamed) && renamed != nullptr;
    if (ok) {
      item->ReplaceRelative(renamed);
      const bool wasExpanded = node->Expanded;
      DeleteChildren(node, 0, node->Count() - 1);
      SetExpanded(node, false);
      // The node moves to its sorted place among its siblings.
      TShellFolderNode* parent = node->Parent();
      ShellFolderPtr parentFolder = parent != nullptr ? FolderOf(*parent->Item()) : nullptr;
      if (parent != nullptr && parentFolder) {
        const int from = node->Row();
        int to = 0;
        for (int i = 0; i < parent->Count(); ++i) {
          if (i == from) continue;
          if (CompareItems(parentFolder, *parent->Child(i)->Item(), *item) == 2) ++to;
        }
        if (to != from) {
          if (observer_ != nullptr) observer_->BeginMove(parent, from, to);
          auto owned = std::move(parent->children_[static_cast<std::size_t>(from)]);
          parent->children_.erase(parent->children_.begin() + from);
          parent->children_.insert(parent->children_.begin() + to, std::move(owned));
          if (observer_ != nullptr) observer_->EndMove();
        }
      }
      RefreshNode(node);
      if (wasExpanded) Expand(node);
    }
  }
  node->Text = item->DisplayName();
  AttachNode(node);
  if (observer_ != nullptr) observer_->NodeChanged(node);
  if (ok) {
    if (combo_ != nullptr && item->Level() == 1) combo_->RebuildItems();
    if (combo_ != nullptr) combo_->SelectComboPIDL(item->AbsolutePIDL());
    if (node == selected_) Change();  // the list and the path box follow, once
  }
  if (list_ != nullptr) list_->ResumeWatchers();
  ResumeWatcher();
  return ok;
}

int TShellFolderTree::GetImageIndex(TShellFolderNode* node) {
  if (node == nullptr) return -1;
  if (node->Valid()) node->ImageIndex = node->Item()->GetIconIndex();
  DoGetImageIndex(node);
  return node->ImageIndex;
}

int TShellFolderTree::GetSelectedIndex(TShellFolderNode* node) {
  if (node == nullptr) return -1;
  if (node->Valid()) node->SelectedIndex = node->Item()->GetOpenIconIndex();
  DoGetSelectedIndex(node);
  return node->SelectedIndex;
}

void TShellFolderTree::ResetIcons() {
  if (!root_) return;
  std::vector<TShellFolderNode*> stack{root_.get()};
  while (!stack.empty()) {
    TShellFolderNode* n = stack.back();
    stack.pop_back();
    if (!n->Valid()) continue;
    n->Item()->ResetIconCaches();
    if (observer_ != nullptr) observer_->NodeChanged(n);
    for (int i = 0; i < n->Count(); ++i) stack.push_back(n->Child(i));
  }
}

// --- Mouse press states ---------------------------------------------------------------

void TShellFolderTree::SetDropHilite(TShellFolderNode* node) {
  if (node == dropHilite_) return;
  TShellFolderNode* old = dropHilite_;
  dropHilite_ = node;
  if (observer_ != nullptr) {
    if (old != nullptr) observer_->NodeChanged(old);
    if (node != nullptr) observer_->NodeChanged(node);
  }
}

void TShellFolderTree::LeftButtonDown(TShellFolderNode* node, bool onItem, int x, int y) {
  dragState_ = dsIdle;
  if (node == nullptr) return;
  if (onItem) {
    SetDropHilite(node);
    dragState_ = dsLeftPressed;
    dragStartX_ = x;
    dragStartY_ = y;
  } else {
    SetDropHilite(nullptr);
  }
}

void TShellFolderTree::LeftButtonUp() {
  if (dragState_ == dsLeftPressed && dropHilite_ != nullptr && dropHilite_->Valid()) {
    dragState_ = dsIdle;
    Select(dropHilite_);
    SetDropHilite(nullptr);
  }
  dragState_ = dsIdle;
}

void TShellFolderTree::RightButtonDown(TShellFolderNode* node, int x, int y) {
  dragState_ = dsIdle;
  if (node != nullptr && node->Valid() && node->Level() != 0) {
    SetDropHilite(node);
    dragState_ = dsRightPressed;
    dragStartX_ = x;
    dragStartY_ = y;
  }
}

void TShellFolderTree::RightButtonUp() {
  // Released without a drag (a linked popup has had its turn on the press).
  if (dragState_ != dsRightPressed) return;
  dragState_ = dsIdle;
  SetDropHilite(nullptr);
}

// --- Context menu -------------------------------------------------------------------------

bool TShellFolderTree::ContextPopup(DropPoint screen) {
  if (dragState_ != dsRightPressed || popup_ == nullptr) return false;
  TShellFolderNode* node = dropHilite_;
  if (node == nullptr || !node->Valid() || node->Level() == 0) return false;
  PauseWatcher();
  TShellFolderNode* parent = node == selected_ ? node->Parent() : nullptr;
  TShellFolderItem* item = node->Item();
  popupSelection_.Clear();
  popupSelection_.SetParentPIDL(ClonePIDL(item->ParentPIDL()));
  popupSelection_.Add(ClonePIDL(item->RelativePIDL()));
  const int code = popup_->Popup(&popupSelection_, screen);
  popupSelection_.Clear();
  switch (code) {
    case kVerbDelete + 1:
      if (parent != nullptr && parent->Valid()) {
        if (list_ != nullptr) {
          list_->PauseWatchers();
          list_->BrowseTo(parent->Item()->AbsolutePIDL());
          list_->ResumeWatchers();
        }
        dragState_ = dsIdle;
        Select(parent);
      }
      if (combo_ != nullptr) {
        combo_->BeginUpdate();
        combo_->RebuildItems();
        RefreshAll();
        if (selected_ != nullptr && selected_->Valid()) combo_->SelectComboPIDL(selected_->Item()->AbsolutePIDL());
        combo_->EndUpdate();
      } else {
        RefreshAll();
      }
      break;
    case kVerbRename + 1:
      dragState_ = dsIdle;
      SetDropHilite(nullptr);
      if (OnEditNode) OnEditNode(node);
      break;
    case kVerbCut + 1:
      if (cutNode_ != nullptr && cutNode_ != node) {
        cutNode_->Cut = false;
        if (observer_ != nullptr) observer_->NodeChanged(cutNode_);
      }
      cutNode_ = node;
      node->Cut = true;
      if (observer_ != nullptr) observer_->NodeChanged(node);
      break;
    default:
      break;
  }
  SetDropHilite(nullptr);
  dragState_ = dsIdle;
  ResumeWatcher();
  return true;
}

// --- Watcher and drives ------------------------------------------------------------------

void TShellFolderTree::GetFixedDrives(std::vector<std::string>& drives) {
  drives.clear();
  for (const ShellVolume& volume : ShellVolumes())
    if (volume.kind == VolumeKind::Fixed)
      if (std::optional<std::string> root = DriveRoot(volume.mountPoint)) drives.push_back(std::move(*root));
  std::sort(drives.begin(), drives.end());
  drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
}

std::vector<std::string> TShellFolderTree::WatchedFolders() const {
  std::vector<std::string> folders;
  if (!root_) return folders;
  // The volume that holds a folder is the one of the table now; whether it
  // is a fixed drive, the list made with the tree says. A removable volume
  // is watched too: a watch here does not keep it from being unmounted (it
  // just ends), and transcribers keep documents on such volumes. A network
  // volume is not: a watch there sees only this machine's changes.
  const std::vector<ShellVolume> volumes = ShellVolumes();
  auto onWatchedVolume = [&](const std::string& path) {
    const std::optional<std::string> os = ToOsPath(path);
    const ShellVolume* volume = os ? VolumeOfPath(volumes, *os) : nullptr;
    if (volume == nullptr || volume->kind == VolumeKind::Network) return false;
    if (volume->kind == VolumeKind::Removable) return true;
    const std::optional<std::string> root = DriveRoot(volume->mountPoint);
    return root && std::binary_search(fixedDrives_.begin(), fixedDrives_.end(), *root);
  };
  std::vector<TShellFolderNode*> stack{root_.get()};
  while (!stack.empty()) {
    TShellFolderNode* n = stack.back();
    stack.pop_back();
    if (!n->Expanded || !n->Valid()) continue;
    std::string path = n->Item()->GetPath();
    if (!path.empty() && onWatchedVolume(path)) folders.push_back(std::move(path));
    for (int i = 0; i < n->Count(); ++i) stack.push_back(n->Child(i));
  }
  return folders;
}

void TShellFolderTree::UpdateWatchedFolders() {
  if (watcher_ == nullptr || watcherPaused_) return;
  const std::vector<std::string> folders = WatchedFolders();
  watcher_->SetFolders(&folders);
}

void TShellFolderTree::PauseWatcher() {
  watcherPaused_ = true;
  if (watcher_ != nullptr) watcher_->SetFolders(nullptr);
}

void TShellFolderTree::ResumeWatcher() {
  watcherPaused_ = false;
  UpdateWatchedFolders();
}

void TShellFolderTree::DirChanged() {
  dropSite_.ReleaseIdleDropTargets();
  if (dragState_ == dsDragging) dirChangedInDrag_ = true;
  if (dragState_ != dsIdle) return;
  if (combo_ != nullptr) {
    combo_->BeginUpdate();
    combo_->RebuildItems();
  }
  RefreshAll();
  if (combo_ != nullptr) {
    if (selected_ != nullptr && selected_->Valid()) combo_->SelectComboPIDL(selected_->Item()->AbsolutePIDL());
    combo_->EndUpdate();
  }
}

TShellFolderNode* TShellFolderTree::ChildOfType(TShItemIDType type) const {
  if (!root_) return nullptr;
  for (int i = 0; i < root_->Count(); ++i)
    if (root_->Child(i)->Valid() && root_->Child(i)->Item()->ItemType() == type) return root_->Child(i);
  return nullptr;
}

TShellFolderNode* TShellFolderTree::BuiltNodeOf(PCItemIDList absolute) const {
  // Only among the nodes built: a drive report neither expands nor refreshes.
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  std::vector<TShellFolderNode*> stack;
  if (root_) stack.push_back(root_.get());
  while (!stack.empty()) {
    TShellFolderNode* n = stack.back();
    stack.pop_back();
    if (!n->Valid()) continue;
    if (ComparePIDL(desktop, n->Item()->AbsolutePIDL(), absolute) == 0) return n;
    for (int i = 0; i < n->Count(); ++i) stack.push_back(n->Child(i));
  }
  return nullptr;
}

void TShellFolderTree::DeviceChanged(TShDirWatcher*, std::unique_ptr<TDeviceChangeData> data) {
  if (!data || !root_) return;
  TShellFolderNode* computer = ChildOfType(itMyComputer);
  if (data->Kind == kDeviceMedia) {
    // A removable volume has a node only while it is mounted: My Computer
    // gains or loses it, and only a selection on that volume moves.
    if (computer != nullptr && (computer->Expanded || computer->Count() > 0)) RefreshNode(computer);
    if (data->Event == DBT_DEVICEARRIVAL) {
      if (TShellFolderNode* drive = BuiltNodeOf(data->DriveList())) {
        drive->Item()->ResetIconCaches();
        drive->Item()->SetDisplayNameCache(data->Caption);
        drive->Text = data->Caption;
        if (observer_ != nullptr) observer_->NodeChanged(drive);
      }
      if (combo_ != nullptr) combo_->UpdateDriveRow(data->DriveList(), data->Caption);
    } else if (combo_ != nullptr) {
      combo_->RebuildItems();
    }
  } else if (data->Kind == kDeviceNetwork) {
    if (combo_ != nullptr) combo_->RebuildItems();
    TShellFolderNode* network = ChildOfType(itNetWork);
    if (data->Event == DBT_DEVICEREMOVECOMPLETE && network != nullptr && selected_ != nullptr &&
        selected_ != network && selected_->IsAtOrBelow(network))
      MoveSelection(root_.get(), true);
    RefreshAll();
  }
  UpdateWatchedFolders();
}

}  // namespace tavo
