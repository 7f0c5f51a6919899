// Helpers of the watcher tests: scratch folders, the inotify watches of the
// process, and the process's inotify instance kept alive. Waiting is
// WaitUntil's (tests/support/WaitUntil.h).
#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
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
// descriptor and the watch's number, which tell one watch from another, and
// the events it asks for (the union of what its watchers want).
struct InotifyWatch {
  int fd = -1;
  int wd = -1;
  std::uint32_t mask = 0;
  bool operator==(const InotifyWatch& o) const { return fd == o.fd && wd == o.wd; }
  auto operator<=>(const InotifyWatch& o) const { return std::tie(fd, wd) <=> std::tie(o.fd, o.wd); }
};

// The watches of this process's inotify instances on the folder `path`
// (its device and inode), as /proc/self/fdinfo lists them: a watcher
// watches a folder once such a watch exists, whether or not its worker
// has got to waiting yet (a change from then on is kept for it).
std::vector<InotifyWatch> InotifyWatchesOf(const std::string& path);

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

}  // namespace tavo::test
