// Folder watchers of the shell controls: worker threads that wait on change
// notifications and, once a burst of changes has come to rest, report to the
// UI thread.
//
// TShDirWatcher (one per folder tree) watches a set of folders (with their
// whole sub-trees, or each on its own) and also carries drive arrivals and
// removals to the tree,
// so that both kinds of report reach the tree one at a time through the same
// thread. TShFilesWatcher (two per file list) watches one folder without its
// sub-folders.
//
// Threads: everything public runs on the UI thread, and so does every
// callback: the worker blocks in a synchronised call (Thread.h) until the
// report has run, so a callback never runs beside other control code. Stop
// clears the callbacks, so a report that was on its way is then not made.
// A watcher frees itself when its body ends (after Stop, or after a failure);
// its owner never deletes it and learns of the end through the OnTerminate
// handler (TThread), in which it forgets the watcher. An error other than a
// failing system call is shown by the application's error handler, on the UI
// thread, before the watcher ends.
//
// Paths are CP932; folder names are compared exactly (two names that differ
// in case are two folders). The quiet periods are parameters so that tests
// can run them short.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/files/FolderStamp.h"
#include "platform/notify/ChangeNotification.h"
#include "platform/notify/WaitEvents.h"
#include "platform/ui/Thread.h"

namespace tavo {

// Device-change kinds.
constexpr uint16_t kDeviceMedia = 1;    // a removable volume came or went
constexpr uint16_t kDeviceNetwork = 2;  // a network volume came or went

// One drive arrival or removal on its way to a folder tree. Made on the UI
// thread; whoever is handed it owns it.
class TDeviceChangeData {
 public:
  // Keeps a copy of `driveList` (may be null: network changes have none).
  TDeviceChangeData(std::string caption, uint32_t event, uint16_t kind, PCItemIDList driveList);
  ~TDeviceChangeData();
  TDeviceChangeData(const TDeviceChangeData&) = delete;
  TDeviceChangeData& operator=(const TDeviceChangeData&) = delete;

  const std::string Caption;  // the drive node's new text
  const uint32_t Event;       // DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE
  const uint16_t Kind;        // kDeviceMedia or kDeviceNetwork
  // The absolute list of the drive root, owned by this object; null for a
  // network change.
  PCItemIDList DriveList() const { return driveList_; }

 private:
  PItemIDList driveList_;
};

// The waits of a directory watcher, in milliseconds.
struct TShDirWatcherTiming {
  int quietMs = 1500;   // a change report comes this long after the last change of a burst
  int settleMs = 1000;  // a device report comes this long after the last device change
};

// The wait of a file watcher, in milliseconds.
struct TShFilesWatcherTiming {
  int quietMs = 2000;  // a report comes this long after the last change of a burst
};

class TShDirWatcher final : public ui::TThread {
 public:
  // The receiver owns the data.
  using TDeviceChangeEvent = std::function<void(TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data)>;
  using TChangeEvent = std::function<void(TShDirWatcher* sender)>;

  using Timing = TShDirWatcherTiming;

  // Starts watching the existing folders among `folders` (null: none) with
  // `notifyFilter` (FILE_NOTIFY_CHANGE_*), each with the folders below it
  // when `watchSubtree`. A watched folder that goes away and comes back (or
  // whose volume is mounted again) is watched again. The caller is taken to
  // have listed the folders just before it hands them over: a folder that
  // goes, or whose entries change, before its watch stands is reported as a
  // change. Throws EOSError when the system gives no event or thread.
  TShDirWatcher(const std::vector<std::string>* folders, uint32_t notifyFilter, TDeviceChangeEvent onDevice,
                TChangeEvent onChange, Timing timing = {}, bool watchSubtree = true);

  // Replaces the watched folders. Null clears them and always signals the
  // worker; a list is kept sorted, without folders that do not exist and
  // without duplicates, each folder ending in '/', and signals only when it
  // differs from the current one. True when the worker was signalled.
  bool SetFolders(const std::vector<std::string>* folders);

  // The watched folders, as SetFolders kept them (a folder whose
  // notification could not be opened is dropped by the worker).
  std::vector<std::string> Folders() const;

  // Queues a device change for delivery once device changes have rested for
  // the settle time; every change of a burst is then delivered, in order.
  // Without a device callback the data is simply freed.
  void PostDeviceChange(std::unique_ptr<TDeviceChangeData> data);

  // Clears both callbacks and tells the worker to end.
  void Stop();

 private:
  ~TShDirWatcher() override;
  void Execute() override;
  void DoTerminate() override;

  // Worker.
  void Rebuild();
  void CloseAll();
  void QuietPeriod(size_t index);
  void Settle();
  void ListChanged();
  uint32_t WaitAll(int timeoutMs);
  // UI thread.
  void DeliverChange();
  void DeliverDevices();

  const uint32_t filter_;
  const Timing timing_;
  const bool subtree_;
  Event terminate_{true, false};
  Event device_{false, false};
  Event listChanged_{false, false};

  mutable std::mutex lock_;
  std::vector<std::string> folders_;  // guarded by lock_
  std::vector<FolderStamp> stamps_;   // guarded by lock_; one per folder, taken when handed over
  uint64_t generation_ = 0;           // guarded by lock_; counts list replacements

  // Worker only: [terminate, device, list changed, one per watched folder].
  std::vector<WaitHandle*> handles_;
  bool missed_ = false;                // a change came before a watch stood, or went with a closed one
  std::set<std::string> unreported_;  // folders whose closed watch held a change not yet reported
  std::vector<std::unique_ptr<ChangeNotification>> notifications_;

  // UI thread only.
  TDeviceChangeEvent onDevice_;
  TChangeEvent onChange_;
  std::deque<std::unique_ptr<TDeviceChangeData>> pending_;
};

class TShFilesWatcher final : public ui::TThread {
 public:
  using TChangeEvent = std::function<void(TShFilesWatcher* sender, const std::string& path)>;

  using Timing = TShFilesWatcherTiming;

  // Watches `path` (empty: nothing) with `notifyFilter`; the folder going
  // away is reported, and so is every change once it is there again. A
  // change made while a report runs is reported after it. The caller is
  // taken to have listed the folder just before it names it: a folder that
  // is not there, or goes or changes before the watch stands, is reported at
  // once (a folder that is not there, once). Throws EOSError when the system
  // gives no event or thread.
  TShFilesWatcher(const std::string& path, uint32_t notifyFilter, TChangeEvent onChange, Timing timing = {});

  // A path other than the current one (exact comparison) becomes the watched
  // folder; the worker re-opens (see the constructor for a folder that is
  // not there). The current path changes nothing. True when the worker was
  // signalled.
  bool SetPath(const std::string& path);

  // The watched path ("" for none), as given.
  std::string Path() const;

  // Clears the callback and tells the worker to end.
  void Stop();

 private:
  ~TShFilesWatcher() override;
  void Execute() override;

  // Worker.
  void Reopen();
  void CloseFolder();
  void QuietPeriod();
  // UI thread.
  void DeliverChange();

  const uint32_t filter_;
  const Timing timing_;
  Event pathChanged_{false, false};
  Event terminate_{true, false};

  mutable std::mutex lock_;
  std::string path_;   // guarded by lock_
  FolderStamp stamp_;  // guarded by lock_; taken when the path was handed over

  std::unique_ptr<ChangeNotification> notification_;  // worker only
  std::string openedPath_;                            // worker only: the path notification_ is for
  bool missed_ = false;                               // worker only: report without waiting for a change

  TChangeEvent onChange_;  // UI thread only
};

}  // namespace tavo
