// Helpers of the watcher tests: scratch folders, the inotify watches of the
// process, and the process's inotify instance kept alive. Waiting is
// WaitUntil's (tests/support/WaitUntil.h).
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/WaitUntil.h"

namespace tavo {
class ChangeNotification;
}

namespace tavo::test {

void MakeDir(const std::string& path);
void MakeFile(const std::string& path, std::string_view bytes = "");
void RemoveAll(const std::string& path);

// Waits until every watcher thread has freed itself, serving their
// synchronised calls meanwhile.
::testing::AssertionResult AllThreadsEnded();

// Says on standard output that attempt `attempt` of a scenario says
// nothing and is made again, and why, so that a test's log shows how often
// the machine held a test up.
void AttemptAgain(int attempt, std::string_view why);

// One watch of an inotify instance of this process: the instance's
// descriptor and the watch's number.
struct InotifyWatch {
  int fd = -1;
  int wd = -1;
  auto operator<=>(const InotifyWatch&) const = default;
};

// The watches of this process's inotify instances on the folder `path`
// (its device and inode), as /proc/self/fdinfo lists them: a watcher
// watches a folder once such a watch exists, whether or not its worker
// has got to waiting yet (a change from then on is kept for it).
std::vector<InotifyWatch> InotifyWatchesOf(const std::string& path);

// The inotify events (IN_* bits) watched for on the folder `path`, over all
// of its watches: several watchers of one folder share one watch, each
// adding its events when its worker arms it.
uint32_t InotifyMaskOf(const std::string& path);

// Holds a change notification of its own as long as it lives, and with it
// the one inotify instance that all notifications of the process share
// (ChangeNotification.h), as the program's other watchers do. A folder
// that a watcher closes and opens again then gets a watch with a new
// number, so that a test can tell the new watch from the old.
class InotifyInstanceHolder {
 public:
  InotifyInstanceHolder();
  ~InotifyInstanceHolder();
  InotifyInstanceHolder(const InotifyInstanceHolder&) = delete;
  InotifyInstanceHolder& operator=(const InotifyInstanceHolder&) = delete;

 private:
  TempDir dir_;
  std::unique_ptr<ChangeNotification> notification_;
};

using Clock = std::chrono::steady_clock;
inline long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}
inline long long MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// A burst of `count` changes made by `change(i)`, `paceMs` apart while the
// event loop runs. `lastBefore` is when the last change began; `longestLull`
// the longest time in which no change may have come (a busy machine can
// hold a burst up so long that a report within it would be right).
struct Burst {
  Clock::time_point lastBefore;
  long long longestLull = 0;
};
Burst MakeBurst(int count, int paceMs, const std::function<void(int)>& change);

}  // namespace tavo::test
