#include "folderbrowse/ZuShellFileList.h"

#include <algorithm>
#include <cerrno>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "folderbrowse/ZuShellDetailsReader.h"
#include "platform/files/Files.h"
#include "platform/shell/ShellContextMenu.h"
#include "platform/shell/ShellSortKeys.h"
#include "platform/system/Process.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

// Reports held back while a mouse button is held.
constexpr unsigned kNamesReport = 1, kDetailsReport = 2;

// Upper-cases CP932 text character by character: ASCII letters and the
// full-width Latin, Greek and Cyrillic letters; a trail byte is never
// taken for a letter.
std::string UpperCp932(std::string_view text) {
  std::string s(text);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!IsLeadByte(b)) {
      if (b >= 'a' && b <= 'z') s[i] = static_cast<char>(b - 'a' + 'A');
      continue;
    }
    if (i + 1 >= s.size()) break;
    const auto t = static_cast<unsigned char>(s[i + 1]);
    int up = t;
    if (b == 0x82 && t >= 0x81 && t <= 0x9A) up = t - 0x21;       // ａ-ｚ
    else if (b == 0x83 && t >= 0xBF && t <= 0xD6) up = t - 0x20;  // α-ω
    else if (b == 0x84 && t >= 0x70 && t <= 0x7E) up = t - 0x30;  // а-н
    else if (b == 0x84 && t >= 0x80 && t <= 0x91) up = t - 0x31;  // о-я
    s[i + 1] = static_cast<char>(up);
    ++i;
  }
  return s;
}

// Whether `text` holds `part` beginning at a character of it (never in the
// middle of a two-byte character).
bool HoldsAtCharacter(std::string_view text, std::string_view part) {
  for (std::size_t i = 0; i + part.size() <= text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
    if (text.compare(i, part.size(), part) == 0) return true;
  return false;
}

// What names one object of a folder across enumerations: a file-system
// entry by its kind and on-disk name (its facts may differ), anything else
// by its ID's bytes.
std::string IdentityOf(IDListSpan id) {
  const std::size_t size = ValidIDListSize(id);
  if (size == 0) return {};
  const ItemTag tag = TagOf(id.p);
  if (tag == ItemTag::FsFile || tag == ItemTag::FsFolder)
    return static_cast<char>(tag) + std::string(FsNameOf(id.p));
  return std::string(reinterpret_cast<const char*>(id.p), size);
}

bool NeedsDetails(int column) { return column == lcSize || column == lcModified || column == lcAttributes; }

}  // namespace

// --- Life ----------------------------------------------------------------------------

TShellFileList::TShellFileList(TShellFileListTiming timing) : timing_(timing) {
  dropSite_.OnShDragEnter = [this](TShellDragObject& drag, TShiftState shift, DropPoint pt, bool& accept) {
    accept = DoShDragEnter(drag, shift, pt);
  };
  dropSite_.OnShDragLeave = [this] { DoShDragLeave(); };
  auto report = [this](TShFilesWatcher* w, const std::string& path) { FilesChanged(w, path); };
  namesWatcher_ = new TShFilesWatcher("", FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, report,
                                      timing_.watchers);
  namesWatcher_->SetOnTerminate([this](ui::TThread*) { namesWatcher_ = nullptr; });
  detailsWatcher_ = new TShFilesWatcher(
      "", FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE, report,
      timing_.watchers);
  detailsWatcher_->SetOnTerminate([this](ui::TThread*) { detailsWatcher_ = nullptr; });
  const auto& captions = ShellColumnCaptions();
  for (int c = 0; c < kReportColumns; ++c) {
    columns_.push_back({c, captions[static_cast<std::size_t>(c)], clientWidth_ / kReportColumns,
                        c == lcSize || c == lcAttributes});
    columnOrder_.push_back(c);
  }
}

TShellFileList::~TShellFileList() {
  if (tree_ != nullptr) tree_->SetShellListView(nullptr);
  StopDetails();
  for (TShFilesWatcher* w : {namesWatcher_, detailsWatcher_}) {
    if (w == nullptr) continue;
    w->SetOnTerminate(nullptr);
    w->Stop();
  }
  observer_ = nullptr;
  Clear();
}

// --- Properties -------------------------------------------------------------------------

void TShellFileList::SetShVirtuaItems(TShVirtuaItems items) {
  if (items == virtuaItems_) return;
  virtuaItems_ = items;
  if (tree_ != nullptr) tree_->SetShVirtuaItems(items);
  if (folder_) RefreshItems();
}

void TShellFileList::SetIncludeHidden(bool include) {
  if (include == includeHidden_) return;
  includeHidden_ = include;
  if (tree_ != nullptr) tree_->SetIncludeHidden(include);
  if (folder_) RefreshItems();
}

// --- The folder ---------------------------------------------------------------------------

int TShellFileList::FolderLevel() const { return folder_ ? ItemIDCount(folder_.get()) : -1; }

std::string TShellFileList::FolderPath() const {
  if (!folder_) return {};
  std::string path;
  if (FolderLevel() == 0) {
    UniquePIDL desktopDir;
    PItemIDList p = nullptr;
    if (GetSpecialFolderPIDL(12, p)) desktopDir.reset(p);
    PIDLToPath(desktopDir.get(), path);
  } else {
    PIDLToPath(folder_.get(), path);
  }
  return path;
}

TShItemIDType TShellFileList::FolderType() const {
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  if (!desktop || !folder_) return itUnknown;
  const int level = FolderLevel();
  if (level == 0) return itDeskTop;
  if (level == 1) {
    const std::pair<int, TShItemIDType> specials[] = {{13, itMyComputer}, {14, itNetWork}, {10, itBitBucket}};
    for (const auto& [number, type] : specials) {
      PItemIDList p = nullptr;
      if (!GetSpecialFolderPIDL(number, p)) continue;
      UniquePIDL special(p);
      if (ComparePIDL(desktop, special.get(), folder_.get()) == 0) return type;
    }
  }
  if (!FolderHasAttribute(16)) return itVirtual;
  if (level == 2 && FolderHasAttribute(14)) return itRootDrive;
  return FolderHasAttribute(15) ? itFolder : itFile;
}

bool TShellFileList::FolderHasAttribute(int number) const {
  if (number < 0 || number >= 25 || !folder_) return false;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  const int level = FolderLevel();
  ShellFolderPtr parent = desktop;
  UniquePIDL last;
  PCItemIDList item = folder_.get();
  if (level > 1) {
    UniquePIDL parentList(::tavo::ParentPIDL(folder_.get()));
    parent = desktop->BindToObject(parentList.get());
    last.reset(LastItemID(folder_.get()));
    item = last.get();
  }
  if (!parent || item == nullptr) return false;
  const std::uint32_t wanted = AttributeFlagTable[number];
  std::uint32_t a = wanted;
  return parent->GetAttributesOf({&item, 1}, a) && (a & wanted) == wanted;
}

void TShellFileList::SetFolder(PCItemIDList folder) {
  folder_ = UniquePIDL::CopyOf(folder);
  shellFolder_ = nullptr;
  readError_ = 0;
  if (!folder_) return;
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  shellFolder_ = FolderLevel() == 0 ? desktop : desktop->BindToObject(folder_.get());
}

// --- Browsing ---------------------------------------------------------------------------------

void TShellFileList::BrowseTo(PCItemIDList folder) {
  if (folder == nullptr) return;
  if (folder_ && FolderLevel() == ItemIDCount(folder)) {
    ShellFolderPtr desktop = ShellGetDesktopFolder();
    if (!desktop) return;
    if (ComparePIDL(desktop, folder_.get(), folder) == 0) return;
  }
  Browse(folder);
  if (FolderHasAttribute(16)) SetCurrentDirectory(FolderPath());
}

void TShellFileList::Browse(PCItemIDList folder) {
  if (folder == nullptr) return;
  UniquePIDL copy = UniquePIDL::CopyOf(folder);  // `folder` may be the list's own
  Reset([&] {
    if (columns_.size() > 1) SaveColumns();
    SetFolder(copy.get());
    FillItems();
    LayoutColumns();
  });
}

void TShellFileList::Reset(const std::function<void()>& change) {
  if (observer_ != nullptr) observer_->BeginReset();
  TShellFileListObserver* observer = observer_;
  observer_ = nullptr;  // one reset for everything the change does
  change();
  observer_ = observer;
  if (observer_ != nullptr) observer_->EndReset();
}

// --- Filling -------------------------------------------------------------------------------------

void TShellFileList::Clear() {
  StopDetails();
  job_.clear();
  resortWhenDetailsDone_ = false;
  focused_ = nullptr;
  items_.clear();
  selectedCount_ = 0;
  selTotal_ = 0;
  selection_.Clear();
}

bool TShellFileList::Keep(TShellFileItem& item) {
  const int level = FolderLevel();
  if (level == 0) {
    const TShItemIDType type = item.ItemType();
    if (type == itBitBucket || type == itNetWork) return virtuaItems_.Contains(type);
    if (type == itVirtual) return false;
  } else if (level == 1) {
    const TShItemIDType folderType = FolderType();
    if (folderType == itMyComputer && item.ItemType() == itVirtual && !virtuaItems_.Contains(itVirtual)) return false;
    if (folderType == itNetWork && !virtuaItems_.Contains(itNetWork)) return false;
  }
  return DoShFilter(item);
}

std::vector<std::unique_ptr<TShellFileItem>> TShellFileList::EnumItems() {
  std::vector<std::unique_ptr<TShellFileItem>> items;
  if (!shellFolder_) return items;
  errno = 0;
  auto e = shellFolder_->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_FASTITEMS |
                                     (includeHidden_ ? SHCONTF_INCLUDEHIDDEN : 0));
  if (!e) {
    readError_ = errno != 0 ? errno : EIO;
    return items;
  }
  ShellFindData fd;
  for (PItemIDList id = nullptr; e->Next(id, &fd); id = nullptr) {
    // A one-ID list just made: its block is its size.
    auto item = std::make_unique<TShellFileItem>(this, UniquePIDL::Adopt({id, CbOf(id) + 2u}), std::move(fd));
    fd = {};
    if (Keep(*item)) items.push_back(std::move(item));
  }
  return items;
}

int TShellFileList::FillItems() {
  PauseWatchers();
  const bool outer = observer_ != nullptr;
  if (outer) observer_->BeginReset();
  if (shellFolder_) {
    Clear();
    readError_ = 0;
    items_ = EnumItems();
    // A small folder gets its details now; a large one names first.
    if (Count() <= timing_.detailsAtOnce) CompleteDetails(AllItems());
    const bool pending = AnyItemPending();
    if (!(FolderPath().empty() && sortColumn_ == lcAttributes)) {
      if (NeedsDetails(sortColumn_) && pending) {
        // Sorted by name until the details are in, then by the column.
        const int column = sortColumn_;
        const int direction = sortDirections_[lcName];
        sortDirections_[lcName] = 1;
        SortBy(lcName);
        sortDirections_[lcName] = direction;
        sortColumn_ = column;
        resortWhenDetailsDone_ = true;
      } else {
        SortBy(sortColumn_);
      }
    }
    Renumber();
    if (!items_.empty()) focused_ = items_.front().get();
    if (pending) StartDetails(false);
  }
  DoShListChange();
  if (outer) observer_->EndReset();
  ResumeWatchers();
  return Count();
}

TShellFileItem* TShellFileList::ItemAt(int index) const {
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

void TShellFileList::Renumber() {
  for (std::size_t i = 0; i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
}

const TShellIDList& TShellFileList::SelectionIDList() {
  selection_.Clear();
  selection_.SetParentPIDL(folder_.get());
  for (auto& item : items_)
    if (item->Selected) selection_.Add(item->relativePIDL_);
  return selection_;
}

void TShellFileList::RemoveSelected() {
  if (selectedCount_ == 0) return;
  Reset([&] {
    for (TShellFileItem*& p : job_)
      if (p != nullptr && p->Selected) p = nullptr;
    if (focused_ != nullptr && focused_->Selected) focused_ = nullptr;
    std::erase_if(items_, [](const auto& item) { return item->Selected; });
    Renumber();
    RecountSelection();
  });
  DoShListChange();
  DoShSelChange(selTotal_);
}

// --- Details ---------------------------------------------------------------------------------------

void TShellFileList::CompleteDetails(const std::vector<TShellFileItem*>& items) {
  if (!shellFolder_) return;
  std::vector<TShellFileItem*> pending;
  std::vector<IDListSpan> spans;
  for (TShellFileItem* item : items) {
    if (item == nullptr || !item->DetailsPending()) continue;
    pending.push_back(item);
    spans.push_back(item->RelativeSpan());
  }
  if (pending.empty()) return;
  std::vector<FsEntryFacts> facts;
  shellFolder_->ReadFacts(spans, facts);
  for (std::size_t i = 0; i < pending.size(); ++i) pending[i]->TakeFacts(facts[i]);
}

std::vector<TShellFileItem*> TShellFileList::AllItems() const {
  std::vector<TShellFileItem*> all;
  all.reserve(items_.size());
  for (const auto& item : items_) all.push_back(item.get());
  return all;
}

bool TShellFileList::AnyItemPending() const {
  return std::any_of(items_.begin(), items_.end(), [](const auto& item) { return item->DetailsPending(); });
}

bool TShellFileList::DetailsPending() const { return reader_ != nullptr || AnyItemPending(); }

void TShellFileList::StartDetails(bool refresh) {
  StopDetails();
  job_.clear();
  for (const auto& item : items_)
    if (refresh || item->DetailsPending()) job_.push_back(item.get());
  std::vector<IDListSpan> spans;
  spans.reserve(job_.size());
  for (TShellFileItem* item : job_) spans.push_back(item->RelativeSpan());
  const std::uint64_t generation = ++generation_;
  reader_ = new TShDetailsReader(
      shellFolder_, spans,
      [this, generation, refresh](std::size_t first, std::vector<FsEntryFacts> facts) {
        ApplyDetails(generation, first, facts, refresh);
      },
      [this, generation] { DetailsDone(generation); });
  reader_->SetOnTerminate([this](ui::TThread* t) {
    if (t == reader_) reader_ = nullptr;
  });
}

void TShellFileList::StopDetails() {
  if (reader_ == nullptr) return;
  reader_->SetOnTerminate(nullptr);
  reader_->Stop();
  reader_ = nullptr;
}

void TShellFileList::ApplyDetails(std::uint64_t generation, std::size_t first,
                                  const std::vector<FsEntryFacts>& facts, bool refresh) {
  if (generation != generation_ || !shellFolder_) return;
  bool changed = false;
  bool selectedChanged = false;
  for (std::size_t k = 0; k < facts.size() && first + k < job_.size(); ++k) {
    TShellFileItem* item = job_[first + k];
    if (item == nullptr || !facts[k].facts.known) continue;
    if (!refresh && !item->DetailsPending()) continue;
    if (refresh && !item->DetailsPending()) {
      const FsItemFacts& now = facts[k].facts;
      const ShellFindData& had = item->findData_;
      if (now.attributes == had.attributes && now.size == had.size && now.writeTime == had.writeTime) continue;
    }
    item->TakeFacts(facts[k]);
    if (item->Selected) selectedChanged = true;
    changed = true;
  }
  if (!changed) return;
  if (selectedChanged) {
    RecountSelection();
    DoShSelChange(selTotal_);
  }
  if (observer_ != nullptr) observer_->RowsChanged();
}

void TShellFileList::DetailsDone(std::uint64_t generation) {
  if (generation != generation_) return;
  if (reader_ != nullptr) {
    reader_->SetOnTerminate(nullptr);
    reader_ = nullptr;  // it ends by itself now
  }
  // Whatever the worker could not read keeps what the listing told.
  for (TShellFileItem* item : job_)
    if (item != nullptr && item->DetailsPending()) item->detailsPending_ = false;
  job_.clear();
  if (resortWhenDetailsDone_) {
    resortWhenDetailsDone_ = false;
    SortItems(sortColumn_);
  }
}

// --- Opening and renaming -----------------------------------------------------------------------------

void TShellFileList::ExecuteItem(int index, TShiftState shift, int subItem, int x, int y) {
  TShellFileItem* item = ItemAt(index);
  if (item == nullptr) return;
  if (item->HasAttribute(15)) {
    UniquePIDL target = UniquePIDL::CopyOf(item->AbsolutePIDL());
    BrowseTo(target.get());
    if (tree_ != nullptr) tree_->SelectPIDL(target.get());
    return;
  }
  if (!DoShExecute(*item, shift, subItem, x, y)) return;
  ShellOpenItem(item->AbsolutePIDL());
}

bool TShellFileList::CanRename(int index) const {
  TShellFileItem* item = ItemAt(index);
  return item != nullptr && item->HasAttribute(3);
}

bool TShellFileList::RenameItem(int index, const std::string& name) {
  TShellFileItem* item = ItemAt(index);
  if (item == nullptr) return false;
  PauseWatchers();
  const bool ok = item->RenameFileItem(name);
  ResumeWatchers();
  if (observer_ != nullptr) observer_->RowsChanged();
  return ok;
}

// --- Columns ------------------------------------------------------------------------------------------

void TShellFileList::SaveColumns() {
  savedOrder_ = columnOrder_;
  savedWidths_.assign(columns_.size(), 0);
  for (const TShellColumn& c : columns_) savedWidths_[static_cast<std::size_t>(c.Number)] = c.Width;
}

void TShellFileList::LayoutColumns() {
  if (FolderPath().empty()) {
    // A folder without a path shows its names only.
    columns_ = {{lcName, ShellColumnCaptions()[lcName], clientWidth_ / 2, false}};
    columnOrder_ = {lcName};
    return;
  }
  if (columns_.size() > 1) return;  // widths and order the user set stay
  if (savedWidths_.empty()) return;
  const auto& captions = ShellColumnCaptions();
  columns_.clear();
  for (std::size_t i = 0; i < savedWidths_.size() && i < captions.size(); ++i)
    columns_.push_back({static_cast<int>(i), captions[i], savedWidths_[i], i == lcSize});
  columnOrder_ = savedOrder_;
}

void TShellFileList::SetColumnWidth(int number, int width) {
  for (TShellColumn& c : columns_)
    if (c.Number == number) c.Width = width;
}

void TShellFileList::SetColumnOrder(const std::vector<int>& order) {
  if (order.size() == columns_.size()) columnOrder_ = order;
}

int TShellFileList::ReportColumnWidth(int number) const {
  if (number < 0 || number >= kReportColumns) return 0;
  if (columns_.size() == kReportColumns) return columns_[static_cast<std::size_t>(number)].Width;
  if (savedWidths_.size() == kReportColumns) return savedWidths_[static_cast<std::size_t>(number)];
  return 0;
}

void TShellFileList::SetReportColumnWidth(int number, int width) {
  if (number < 0 || number >= kReportColumns) return;
  if (columns_.size() == kReportColumns) {
    columns_[static_cast<std::size_t>(number)].Width = width;
  } else if (savedWidths_.size() == kReportColumns) {
    savedWidths_[static_cast<std::size_t>(number)] = width;
  }
}

// --- Sorting ---------------------------------------------------------------------------------------------

int TShellFileList::SortDirection(int column) const {
  return column >= 0 && column < kReportColumns ? sortDirections_[column] : 1;
}

void TShellFileList::SortBy(int column) {
  if (items_.size() < 2 || !shellFolder_) return;
  std::vector<IDListSpan> spans;
  spans.reserve(items_.size());
  for (const auto& item : items_) spans.push_back(item->RelativeSpan());
  const std::vector<std::size_t> order = ShellSortOrder(*shellFolder_, column, spans, SortDirection(column) < 0);
  std::vector<std::unique_ptr<TShellFileItem>> sorted;
  sorted.reserve(items_.size());
  for (const std::size_t i : order) sorted.push_back(std::move(items_[i]));
  items_ = std::move(sorted);
  Renumber();
}

void TShellFileList::SortItems(int column) {
  if (column < 0 || column >= kReportColumns) return;
  if (FolderPath().empty() && column == lcAttributes) return;
  LockSelChange();
  sortColumn_ = column;
  // Sizes, times and attributes must all be known to sort by them.
  if (NeedsDetails(column)) {
    resortWhenDetailsDone_ = false;
    CompleteDetails(AllItems());
  }
  // Selection and focus belong to the items, so they move with them.
  Reset([&] { SortBy(column); });
  UnlockSelChange();
}

void TShellFileList::ColumnClick(int column) {
  if (column < 0 || column >= kReportColumns) return;
  if (FolderPath().empty() && column == lcAttributes) return;
  sortDirections_[column] = -sortDirections_[column];
  SortItems(column);
}

// --- Selection ----------------------------------------------------------------------------------------------

void TShellFileList::RecountSelection() {
  // The total is the sum over the items selected now, never a running sum
  // that a missed notice could put wrong.
  std::vector<TShellFileItem*> pending;
  for (auto& item : items_)
    if (item->Selected && item->DetailsPending()) pending.push_back(item.get());
  CompleteDetails(pending);
  selectedCount_ = 0;
  selTotal_ = 0;
  for (auto& item : items_) {
    if (!item->Selected) continue;
    ++selectedCount_;
    selTotal_ += item->findData_.size;
  }
}

void TShellFileList::SetSelected(int first, int last, bool selected) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  bool changed = false;
  for (int i = first; i <= last; ++i) {
    TShellFileItem* item = items_[static_cast<std::size_t>(i)].get();
    if (item->Selected == selected) continue;
    item->Selected = selected;
    changed = true;
  }
  if (!changed) return;
  RecountSelection();
  DoShSelChange(selTotal_);
}

void TShellFileList::SelectAll(bool selected) { SetSelected(0, Count() - 1, selected); }

int TShellFileList::FocusedIndex() const { return focused_ != nullptr ? focused_->Index() : -1; }

void TShellFileList::SetFocused(int index) { focused_ = ItemAt(index); }

void TShellFileList::UnlockSelChange() {
  if (--selLock_ > 0) return;
  selLock_ = 0;
  DoShSelChange(selTotal_);
}

void TShellFileList::DoShSelChange(std::uint64_t total) {
  if (selLock_ > 0) return;
  if (OnShSelChange) OnShSelChange(total);
}

// --- Event steps -------------------------------------------------------------------------------------

bool TShellFileList::DoShFilter(TShellFileItem& item) {
  bool accept = true;
  if (OnShFilter) OnShFilter(item, accept);
  return accept;
}

bool TShellFileList::DoShExecute(TShellFileItem& item, TShiftState shift, int subItem, int x, int y) {
  bool defaultAction = true;
  if (OnShExecute) OnShExecute(item, shift, subItem, x, y, defaultAction);
  return defaultAction;
}

void TShellFileList::DoShListChange() {
  if (OnShListChange) OnShListChange();
}

void TShellFileList::DoShClipboard(bool contented) {
  if (OnShClipboard) OnShClipboard(contented);
}

// --- Owner data ----------------------------------------------------------------------------------------------

void TShellFileList::CacheHint(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  std::vector<TShellFileItem*> range;
  for (int i = first; i <= last; ++i) range.push_back(items_[static_cast<std::size_t>(i)].get());
  CompleteDetails(range);
  for (TShellFileItem* item : range) {
    item->GetIconIndex();
    item->DisplayName();
  }
}

int TShellFileList::FindItem(const TShellFindInfo& info, int start) {
  const int n = Count();
  switch (info.Kind) {
    case fkData:
      for (int i = 0; i < n; ++i)
        if (items_[static_cast<std::size_t>(i)].get() == info.Data) return i;
      return -1;
    case fkNearest:
      // The views place their items themselves and find the nearest one
      // themselves; the list knows no positions.
      return -1;
    case fkPartial:
    case fkExact:
      break;
  }
  if (n == 0) return -1;
  const std::string wanted = UpperCp932(info.Text);
  if (start < 0 || start >= n) start = 0;
  const int visits = info.Wrap ? n : n - start;
  for (int k = 0; k < visits; ++k) {
    TShellFileItem* item = ItemAt((start + k) % n);
    if (item == nullptr) return -1;
    const std::string name = UpperCp932(item->DisplayName());
    if (info.Kind == fkExact ? name.compare(0, wanted.size(), wanted) == 0 : HoldsAtCharacter(name, wanted))
      return item->Index();
  }
  return -1;
}

int TShellFileList::LargestFileIndex() const {
  int best = -1;
  std::uint64_t largest = 0;
  for (const auto& item : items_) {
    if (item->DetailsPending() || (item->FileAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (best < 0 || item->findData_.size > largest) {
      best = item->Index();
      largest = item->findData_.size;
    }
  }
  return best;
}

// --- Mouse press states ------------------------------------------------------------------------------------------

void TShellFileList::LeftButtonDown(bool onItem, int x, int y) {
  if (!onItem) return;
  dragState_ = dsLeftPressed;
  dragStartX_ = x;
  dragStartY_ = y;
}

void TShellFileList::LeftButtonUp() {
  dragState_ = dsIdle;
  RunPendingReports();
}

void TShellFileList::RightButtonDown(bool onItem, int x, int y) {
  if (!onItem) return;
  dragState_ = dsRightPressed;
  dragStartX_ = x;
  dragStartY_ = y;
}

void TShellFileList::RightButtonUp() {
  // Released without a drag: the reports held meanwhile are carried out.
  dragState_ = dsIdle;
  RunPendingReports();
}

// --- Context menu ----------------------------------------------------------------------------------------------

void TShellFileList::SetShellPopupMenu(TShellPopupLink* popup) {
  popup_ = popup;
  if (popup_ != nullptr) popup_->SetAutoPopup(false);
}

bool TShellFileList::ContextPopup(DropPoint screen) {
  if (dragState_ != dsRightPressed || popup_ == nullptr) return false;
  PauseWatchers();
  const TShellIDList& selection = SelectionIDList();
  if (selection.Count() > 0 && selection.GetParentFolder()) {
    switch (popup_->Popup(&selection, screen)) {
      case kVerbPaste + 1:
        if (!FolderPath().empty()) RefreshItems();
        break;
      case kVerbDelete + 1:
        // Only what is gone leaves the list (a delete may fail for some).
        MergeNames();
        if (tree_ != nullptr) tree_->RefreshAll();
        break;
      case kVerbRename + 1:
        dragState_ = dsIdle;
        if (OnEditRow) OnEditRow(FocusedIndex());
        break;
      default:
        break;
    }
  }
  ResumeWatchers();
  dragState_ = dsIdle;
  RunPendingReports();
  return true;
}

// --- Watchers -------------------------------------------------------------------------------------------------------

std::string TShellFileList::WatchedPath() const { return namesWatcher_ != nullptr ? namesWatcher_->Path() : ""; }

void TShellFileList::PauseWatchers() {
  watchersPaused_ = true;
  for (TShFilesWatcher* w : {namesWatcher_, detailsWatcher_})
    if (w != nullptr) w->SetPath("");
}

void TShellFileList::ResumeWatchers() {
  watchersPaused_ = false;
  const std::string path = FolderPath();
  for (TShFilesWatcher* w : {namesWatcher_, detailsWatcher_})
    if (w != nullptr) w->SetPath(path);
}

void TShellFileList::FilesChanged(TShFilesWatcher* watcher, const std::string& path) {
  if (!DirectoryExists(path)) {
    FolderGone();
    return;
  }
  const unsigned report = watcher == namesWatcher_ ? kNamesReport : watcher == detailsWatcher_ ? kDetailsReport : 0;
  if (dragState_ != dsIdle) {
    pendingReports_ |= report;  // carried out once the button is up
    return;
  }
  if (report == kNamesReport) MergeNames();
  if (report == kDetailsReport) RefreshDetails();
}

void TShellFileList::RunPendingReports() {
  const unsigned reports = pendingReports_;
  pendingReports_ = 0;
  if (reports & kNamesReport) MergeNames();
  if (reports & kDetailsReport) RefreshDetails();
}

void TShellFileList::FolderGone() {
  pendingReports_ = 0;
  const std::string gone = FolderPath();
  // The tree may not have seen the folder go (its report comes later, or
  // the folder went before its watch stood): it looks now, so that it does
  // not keep showing the folder, and a selection it loses moves the list on.
  if (tree_ != nullptr) tree_->RefreshAll();
  if (FolderPath() != gone) return;
  Reset([&] {
    Clear();
    folder_.reset();
    shellFolder_ = nullptr;
    readError_ = 0;
    std::string treePath;
    PCItemIDList treeFolder = tree_ != nullptr ? tree_->SelectedPIDL() : nullptr;
    if (treeFolder != nullptr && !(PIDLToPath(treeFolder, treePath) && treePath == gone)) {
      Browse(treeFolder);
    } else {
      PauseWatchers();
    }
  });
}

void TShellFileList::MergeNames() {
  if (!shellFolder_) return;
  // Items that are still there stay, with their selection and caches; the
  // new ones come in, the gone ones go.
  std::unordered_map<std::string, std::size_t> had;
  had.reserve(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) had.emplace(IdentityOf(items_[i]->RelativeSpan()), i);
  auto e = shellFolder_->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_FASTITEMS |
                                     (includeHidden_ ? SHCONTF_INCLUDEHIDDEN : 0));
  if (!e) return;
  std::vector<bool> stays(items_.size(), false);
  std::vector<std::unique_ptr<TShellFileItem>> added;
  ShellFindData fd;
  for (PItemIDList id = nullptr; e->Next(id, &fd); id = nullptr) {
    UniquePIDL owned = UniquePIDL::Adopt({id, CbOf(id) + 2u});
    auto it = had.find(IdentityOf(owned.span()));
    if (it != had.end()) {
      stays[it->second] = true;
      continue;
    }
    auto item = std::make_unique<TShellFileItem>(this, std::move(owned), std::move(fd));
    fd = {};
    if (Keep(*item)) added.push_back(std::move(item));
  }
  if (added.empty() && std::find(stays.begin(), stays.end(), false) == stays.end()) return;
  Reset([&] {
    std::vector<std::unique_ptr<TShellFileItem>> next;
    next.reserve(items_.size() + added.size());
    std::unordered_set<const TShellFileItem*> gone;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (stays[i]) next.push_back(std::move(items_[i]));
      else gone.insert(items_[i].get());
    }
    for (TShellFileItem*& p : job_)
      if (gone.count(p) != 0) p = nullptr;
    if (gone.count(focused_) != 0) focused_ = nullptr;
    std::vector<TShellFileItem*> fresh;
    for (auto& item : added) {
      fresh.push_back(item.get());
      next.push_back(std::move(item));
    }
    items_ = std::move(next);
    if (NeedsDetails(sortColumn_) || Count() <= timing_.detailsAtOnce) CompleteDetails(fresh);
    if (!(FolderPath().empty() && sortColumn_ == lcAttributes)) SortBy(sortColumn_);
    Renumber();
    if (focused_ == nullptr && !items_.empty()) focused_ = items_.front().get();
    RecountSelection();
  });
  if (AnyItemPending()) StartDetails(false);
  DoShListChange();
  DoShSelChange(selTotal_);
}

void TShellFileList::RefreshDetails() {
  if (!shellFolder_ || items_.empty()) return;
  // Read again off the UI thread; only rows whose facts changed repaint.
  if (Count() <= timing_.detailsAtOnce) {
    StopDetails();
    job_ = AllItems();
    std::vector<IDListSpan> spans;
    for (TShellFileItem* item : job_) spans.push_back(item->RelativeSpan());
    std::vector<FsEntryFacts> facts;
    shellFolder_->ReadFacts(spans, facts);
    ApplyDetails(++generation_, 0, facts, true);
    job_.clear();
    return;
  }
  StartDetails(true);
}

}  // namespace tavo
