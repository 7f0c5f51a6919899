#include "folderbrowse/ZuShellNotify.h"

#include <cerrno>
#include <exception>
#include <set>
#include <utility>

#include "folderbrowse/ZuShellUtils.h"
#include "platform/files/Files.h"
#include "platform/files/FolderStamp.h"
#include "platform/system/OSError.h"
#include "platform/ui/Application.h"
#include "platform/ui/UiThreadCall.h"

namespace tavo {
namespace {

// The folders that exist, each ending in '/', sorted and without
// duplicates (compared exactly).
std::vector<std::string> FilterFolders(const std::vector<std::string>& folders) {
  std::set<std::string> kept;
  for (const std::string& folder : folders)
    if (!folder.empty() && DirectoryExists(folder)) kept.insert(AddBackslash(folder));
  return {kept.begin(), kept.end()};
}

std::vector<FolderStamp> StampsOf(const std::vector<std::string>& folders) {
  std::vector<FolderStamp> stamps;
  stamps.reserve(folders.size());
  for (const std::string& folder : folders) stamps.push_back(StampOfFolder(folder));
  return stamps;
}

bool IsSignalled(WaitHandle& handle) { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

// One pass of a worker's loop. A failing system call (EOSError) just ends
// the worker; anything else is shown on the UI thread first.
template <class Pass>
void Guarded(ui::TThread& thread, Pass&& pass) {
  try {
    pass();
    return;
  } catch (const EOSError&) {
  } catch (const std::exception& e) {
    try {
      ui::RunOnUiThread([&e] { ui::HandleException(e); });
    } catch (...) {
    }
  } catch (...) {
    try {
      ui::RunOnUiThread([] { ui::HandleUnknownException(); });
    } catch (...) {
    }
  }
  thread.Terminate();
}

uint32_t WaitOn(std::initializer_list<WaitHandle*> handles, int timeoutMs) {
  return WaitForMultipleObjects(std::span<WaitHandle* const>(handles.begin(), handles.size()), timeoutMs);
}

}  // namespace

// --- TDeviceChangeData -----------------------------------------------------

TDeviceChangeData::TDeviceChangeData(std::string caption, uint32_t event, uint16_t kind, PCItemIDList driveList)
    : Caption(std::move(caption)), Event(event), Kind(kind), driveList_(ClonePIDL(driveList)) {}

TDeviceChangeData::~TDeviceChangeData() { FreePIDL(driveList_); }

// --- TShDirWatcher ---------------------------------------------------------

TShDirWatcher::TShDirWatcher(const std::vector<std::string>* folders, uint32_t notifyFilter,
                             TDeviceChangeEvent onDevice, TChangeEvent onChange, Timing timing, bool watchSubtree)
    : filter_(notifyFilter),
      timing_(timing),
      subtree_(watchSubtree),
      onDevice_(std::move(onDevice)),
      onChange_(std::move(onChange)) {
  if (folders != nullptr) folders_ = FilterFolders(*folders);
  stamps_ = StampsOf(folders_);
  Start();
}

TShDirWatcher::~TShDirWatcher() = default;

bool TShDirWatcher::SetFolders(const std::vector<std::string>* folders) {
  std::lock_guard lock(lock_);
  if (folders != nullptr) {
    std::vector<std::string> filtered = FilterFolders(*folders);
    if (filtered == folders_) return false;
    folders_ = std::move(filtered);
  } else {
    folders_.clear();
  }
  stamps_ = StampsOf(folders_);
  ++generation_;
  listChanged_.Set();
  return true;
}

std::vector<std::string> TShDirWatcher::Folders() const {
  std::lock_guard lock(lock_);
  return folders_;
}

void TShDirWatcher::PostDeviceChange(std::unique_ptr<TDeviceChangeData> data) {
  if (!onDevice_) return;
  pending_.push_back(std::move(data));
  device_.Set();
}

void TShDirWatcher::Stop() {
  onDevice_ = nullptr;
  onChange_ = nullptr;
  terminate_.Set();
}

void TShDirWatcher::DoTerminate() {
  // Data still pending was made on this thread; it is freed here too.
  pending_.clear();
  TThread::DoTerminate();
}

void TShDirWatcher::Execute() {
  Guarded(*this, [this] { Rebuild(); });
  while (!Terminated()) {
    Guarded(*this, [this] {
      if (missed_) {
        missed_ = false;
        QuietPeriod(0);
        return;
      }
      const uint32_t result = WaitAll(INFINITE);
      if (result == WAIT_OBJECT_0)
        Terminate();
      else if (result == WAIT_OBJECT_0 + 1)
        Settle();
      else if (result == WAIT_OBJECT_0 + 2)
        ListChanged();
      else if (result >= WAIT_OBJECT_0 + 3 && result < handles_.size())
        QuietPeriod(result);
      else if (result == WAIT_FAILED)
        RaiseLastOSError();
    });
  }
  notifications_.clear();
  handles_.clear();
}

uint32_t TShDirWatcher::WaitAll(int timeoutMs) { return WaitForMultipleObjects(handles_, timeoutMs); }

void TShDirWatcher::Rebuild() {
  std::vector<std::string> folders;
  std::vector<FolderStamp> stamps;
  uint64_t generation;
  {
    std::lock_guard lock(lock_);
    folders = folders_;
    stamps = stamps_;
    generation = generation_;
  }
  // Opening a notification walks a whole sub-tree, which may take long: it
  // is done without the lock, so that SetFolders never waits for it.
  std::vector<std::unique_ptr<ChangeNotification>> opened(folders.size());
  std::vector<bool> failed(folders.size(), false);
  bool cancelled = false;
  bool changed = false;
  for (size_t i = folders.size(); i-- > 0;) {
    opened[i] = FindFirstChangeNotification(folders[i], subtree_, filter_, &terminate_);
    if (!opened[i]) {
      if (errno == ECANCELED)
        cancelled = true;
      else
        failed[i] = true;
    }
    // The caller listed the folder before this watch stood: a folder that
    // went or changed meanwhile is reported as a change. (One that cannot
    // be watched for want of watches is not: the report would only bring it
    // back to fail again.)
    const FolderStamp now = StampOfFolder(folders[i]);
    if (!now.exists || (opened[i] && now != stamps[i])) changed = true;
    // A change the closed watch had seen but not yet reported is reported
    // for a folder that stays watched.
    if (unreported_.count(folders[i]) != 0) changed = true;
  }
  unreported_.clear();
  if (!cancelled && changed) missed_ = true;
  {
    std::lock_guard lock(lock_);
    // Folders that cannot be watched leave the list, unless the list was
    // replaced meanwhile (the worker then rebuilds again anyway).
    if (!cancelled && generation == generation_)
      for (size_t i = folders.size(); i-- > 0;)
        if (failed[i]) {
          folders_.erase(folders_.begin() + static_cast<std::ptrdiff_t>(i));
          stamps_.erase(stamps_.begin() + static_cast<std::ptrdiff_t>(i));
        }
  }
  handles_ = {&terminate_, &device_, &listChanged_};
  notifications_.clear();
  for (std::unique_ptr<ChangeNotification>& n : opened) {
    if (!n) continue;
    handles_.push_back(n.get());
    notifications_.push_back(std::move(n));
  }
}

void TShDirWatcher::CloseAll() {
  handles_.resize(3);
  bool failed = false;
  for (std::unique_ptr<ChangeNotification>& n : notifications_) {
    if (IsSignalled(*n)) unreported_.insert(n->Path());  // would be lost with the watch
    if (!FindCloseChangeNotification(std::move(n))) failed = true;
  }
  notifications_.clear();
  if (failed) RaiseLastOSError();
}

void TShDirWatcher::ListChanged() {
  CloseAll();
  Rebuild();
}

void TShDirWatcher::QuietPeriod(size_t index) {
  for (;;) {
    if (index >= 3 && !FindNextChangeNotification(*notifications_[index - 3])) RaiseLastOSError();
    const uint32_t result = WaitAll(timing_.quietMs);
    if (result >= WAIT_OBJECT_0 + 3 && result < handles_.size()) {
      index = result;  // the burst goes on
      continue;
    }
    if (result == WAIT_TIMEOUT)
      Synchronize([this] { DeliverChange(); });
    else if (result == WAIT_OBJECT_0)
      Terminate();
    else if (result == WAIT_OBJECT_0 + 1)
      Settle();
    else if (result == WAIT_OBJECT_0 + 2)
      ListChanged();
    else
      RaiseLastOSError();
    return;
  }
}

void TShDirWatcher::Settle() {
  // Each further device change restarts the wait, so a burst is delivered
  // whole once it has rested.
  for (;;) {
    const uint32_t result = WaitOn({&terminate_, &device_}, timing_.settleMs);
    if (result == WAIT_OBJECT_0 + 1) continue;
    if (result == WAIT_TIMEOUT)
      Synchronize([this] { DeliverDevices(); });
    else if (result == WAIT_OBJECT_0)
      Terminate();
    else
      RaiseLastOSError();
    return;
  }
}

void TShDirWatcher::DeliverChange() {
  if (onChange_) onChange_(this);
}

void TShDirWatcher::DeliverDevices() {
  std::deque<std::unique_ptr<TDeviceChangeData>> burst;
  burst.swap(pending_);
  for (std::unique_ptr<TDeviceChangeData>& data : burst)
    if (onDevice_) onDevice_(this, std::move(data));  // a callback may Stop the watcher
}

// --- TShFilesWatcher -------------------------------------------------------

TShFilesWatcher::TShFilesWatcher(const std::string& path, uint32_t notifyFilter, TChangeEvent onChange,
                                 Timing timing)
    : filter_(notifyFilter),
      timing_(timing),
      path_(path),
      stamp_(path.empty() ? FolderStamp{} : StampOfFolder(path)),
      onChange_(std::move(onChange)) {
  Start();
}

TShFilesWatcher::~TShFilesWatcher() = default;

bool TShFilesWatcher::SetPath(const std::string& path) {
  std::lock_guard lock(lock_);
  if (path == path_) return false;
  path_ = path;
  stamp_ = path.empty() ? FolderStamp{} : StampOfFolder(path);
  pathChanged_.Set();
  return true;
}

std::string TShFilesWatcher::Path() const {
  std::lock_guard lock(lock_);
  return path_;
}

void TShFilesWatcher::Stop() {
  onChange_ = nullptr;
  terminate_.Set();
}

void TShFilesWatcher::Execute() {
  Guarded(*this, [this] { Reopen(); });
  while (!Terminated()) {
    Guarded(*this, [this] {
      if (missed_) {
        missed_ = false;
        if (notification_)
          QuietPeriod();
        else
          Synchronize([this] { DeliverChange(); });  // the folder is gone: the owner moves on
        return;
      }
      if (!notification_) {
        const uint32_t result = WaitOn({&terminate_, &pathChanged_}, INFINITE);
        if (result == WAIT_OBJECT_0)
          Terminate();
        else if (result == WAIT_OBJECT_0 + 1)
          Reopen();
        else if (result == WAIT_FAILED)
          RaiseLastOSError();
        return;
      }
      const uint32_t result = WaitOn({&terminate_, &pathChanged_, notification_.get()}, INFINITE);
      if (result == WAIT_OBJECT_0) {
        CloseFolder();
        Terminate();
      } else if (result == WAIT_OBJECT_0 + 1) {
        Reopen();
      } else if (result == WAIT_OBJECT_0 + 2) {
        QuietPeriod();
      } else if (result == WAIT_FAILED) {
        RaiseLastOSError();
      }
    });
  }
  notification_.reset();
}

void TShFilesWatcher::Reopen() {
  CloseFolder();
  std::lock_guard lock(lock_);
  openedPath_ = path_;
  if (path_.empty()) return;
  notification_ = FindFirstChangeNotification(path_, false, filter_);
  // The owner listed the folder before this watch stood: a folder that went
  // or changed meanwhile is reported, as the watch would have.
  const FolderStamp now = StampOfFolder(path_);
  if (!now.exists || (notification_ && now != stamp_)) missed_ = true;
}

void TShFilesWatcher::CloseFolder() {
  if (notification_ && !FindCloseChangeNotification(std::move(notification_))) RaiseLastOSError();
  notification_.reset();
}

void TShFilesWatcher::QuietPeriod() {
  for (;;) {
    if (!FindNextChangeNotification(*notification_)) {
      Reopen();
      return;
    }
    const uint32_t result = WaitOn({&terminate_, &pathChanged_, notification_.get()}, timing_.quietMs);
    if (result == WAIT_OBJECT_0 + 2) continue;  // the burst goes on
    if (result == WAIT_TIMEOUT) {
      // The notification stays open: a change made while the report runs
      // signals it again, and is reported in turn.
      Synchronize([this] { DeliverChange(); });
    } else if (result == WAIT_OBJECT_0) {
      CloseFolder();
      Terminate();
    } else if (result == WAIT_OBJECT_0 + 1) {
      Reopen();
    } else {
      RaiseLastOSError();
    }
    return;
  }
}

void TShFilesWatcher::DeliverChange() {
  std::string path;
  {
    std::lock_guard lock(lock_);
    path = path_;
  }
  // A path handed over since the worker opened its own makes this report
  // one of a folder no longer watched (the worker is blocked in this call,
  // so its opened path holds still).
  if (path != openedPath_) return;
  if (onChange_) onChange_(this, path);
}

}  // namespace tavo
