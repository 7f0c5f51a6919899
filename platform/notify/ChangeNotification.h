// Change notifications of folders: a waitable handle that becomes signalled
// when something in a folder (and, on request, in its whole sub-tree)
// changes in a way its filter selects, and stays signalled until it is
// renewed with FindNextChangeNotification.
//
// Built on inotify. All notifications of the process share one inotify
// instance read by one background thread, which keeps the sub-tree watches
// up to date (folders that appear are watched, folders that go are
// forgotten) and sets each notification's signal. So the number of
// notifications is bounded only by the system's number of watches, not by
// its (small) number of inotify instances.
//
// Sub-trees stay on the folder's own file system: a mount point inside it
// is not entered, as a volume is watched on its own. Symbolic links are not
// followed below the folder itself. When the system runs out of watches, the
// folders watched so far stay watched.
//
// The watched folder itself going away (deleted, moved, unmounted) always
// signals, whatever the filter. The notification then waits for a folder of
// that path to be there again (made again, moved back, a volume mounted on
// it again: the nearest existing ancestor and the mount table tell), and
// signals once it watches it. A volume mounted over the watched folder is
// watched in its place the same way.
//
// Paths are CP932. A notification belongs to one thread at a time; different
// notifications may be used from different threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/notify/WaitEvents.h"

namespace tavo {

constexpr uint32_t FILE_NOTIFY_CHANGE_FILE_NAME = 0x001;    // file created, deleted, renamed
constexpr uint32_t FILE_NOTIFY_CHANGE_DIR_NAME = 0x002;     // folder created, deleted, renamed
constexpr uint32_t FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x004;   // permissions, owner, times
constexpr uint32_t FILE_NOTIFY_CHANGE_SIZE = 0x008;         // written to
constexpr uint32_t FILE_NOTIFY_CHANGE_LAST_WRITE = 0x010;   // written to, or times set
constexpr uint32_t FILE_NOTIFY_CHANGE_LAST_ACCESS = 0x020;  // read
constexpr uint32_t FILE_NOTIFY_CHANGE_CREATION = 0x040;     // anything created
constexpr uint32_t FILE_NOTIFY_CHANGE_SECURITY = 0x100;     // permissions, owner

namespace detail {
struct WatchSet;
class InotifyHub;
}  // namespace detail

class ChangeNotification;

// Opens a notification for the folder `path` with the FILE_NOTIFY_CHANGE_*
// bits of `filter`; with `watchSubtree` the folders below it are watched
// too. Answers null with errno set when it cannot: ENOENT, ENOTDIR, EACCES
// for the folder, EINVAL for a filter without any known bit, ENOSPC or
// EMFILE when the system has no more watches or descriptors, ECANCELED when
// `abandonWhenSet` (optional) became set while a large sub-tree was being
// walked.
std::unique_ptr<ChangeNotification> FindFirstChangeNotification(std::string_view path, bool watchSubtree,
                                                                uint32_t filter,
                                                                const Event* abandonWhenSet = nullptr);

// Renews: clears the signal; changes from now on signal it again. True on
// success.
bool FindNextChangeNotification(ChangeNotification& notification);

// Closes the notification. True on success (closing cannot fail here; the
// result keeps the callers' error paths honest).
bool FindCloseChangeNotification(std::unique_ptr<ChangeNotification> notification);

class ChangeNotification final : public WaitHandle {
 public:
  ~ChangeNotification() override;  // closes, as FindCloseChangeNotification
  ChangeNotification(const ChangeNotification&) = delete;
  ChangeNotification& operator=(const ChangeNotification&) = delete;

  // The folder as given when opened.
  const std::string& Path() const { return path_; }

  int PollFd() const override;
  bool Acquire() override { return true; }  // stays signalled until renewed

 private:
  friend std::unique_ptr<ChangeNotification> FindFirstChangeNotification(std::string_view, bool, uint32_t,
                                                                         const Event*);
  friend bool FindNextChangeNotification(ChangeNotification& notification);
  ChangeNotification(std::string path, std::shared_ptr<detail::InotifyHub> hub,
                     std::shared_ptr<detail::WatchSet> set);

  std::string path_;
  std::shared_ptr<detail::InotifyHub> hub_;
  std::shared_ptr<detail::WatchSet> set_;
};

}  // namespace tavo
