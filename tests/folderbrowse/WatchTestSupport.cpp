#include "tests/folderbrowse/WatchTestSupport.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/notify/ChangeNotification.h"
#include "platform/ui/Thread.h"

namespace tavo::test {

void MakeDir(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }

void MakeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

void RemoveAll(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

::testing::AssertionResult AllThreadsEnded() {
  return WaitUntil("every watcher thread to end", [] { return ui::TThread::LiveCount() == 0; });
}

Burst MakeBurst(int count, int paceMs, const std::function<void(int)>& change) {
  Burst burst;
  Clock::time_point before;
  for (int i = 0; i < count; ++i) {
    const Clock::time_point previousBefore = before;
    before = Clock::now();
    change(i);
    if (i > 0) burst.longestLull = std::max(burst.longestLull, MsBetween(previousBefore, Clock::now()));
    burst.lastBefore = before;
    PumpFor(paceMs);
  }
  return burst;
}

void AttemptAgain(int attempt, std::string_view why) {
  std::printf("[ AGAIN    ] attempt %d: %.*s\n", attempt, static_cast<int>(why.size()), why.data());
  std::fflush(stdout);
}

namespace {

// Calls `each(fd, wd, mask)` for every watch of this process's inotify
// instances on the folder `path` (its device and inode).
template <class Each>
void ForEachInotifyWatchOf(const std::string& path, Each each) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return;
  // fdinfo gives the device as the kernel keeps it: major << 20 | minor.
  const unsigned long long device = (static_cast<unsigned long long>(major(st.st_dev)) << 20) | minor(st.st_dev);
  DIR* fds = ::opendir("/proc/self/fd");
  if (fds == nullptr) return;
  while (const dirent* e = ::readdir(fds)) {
    if (e->d_name[0] == '.') continue;
    const std::string link = std::string("/proc/self/fd/") + e->d_name;
    char target[64];
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    target[n] = '\0';
    if (std::string_view(target) != "anon_inode:inotify") continue;
    std::ifstream info(std::string("/proc/self/fdinfo/") + e->d_name);
    std::string line;
    while (std::getline(info, line)) {
      // "inotify wd:1 ino:3c51a sdev:fe00000 mask:... ignored_mask:0 ..."
      int wd;
      unsigned long long ino, sdev;
      unsigned mask;
      if (std::sscanf(line.c_str(), "inotify wd:%x ino:%llx sdev:%llx mask:%x", &wd, &ino, &sdev, &mask) == 4 &&
          ino == st.st_ino && sdev == device)
        each(std::atoi(e->d_name), wd, static_cast<uint32_t>(mask));
    }
  }
  ::closedir(fds);
}

}  // namespace

std::vector<InotifyWatch> InotifyWatchesOf(const std::string& path) {
  std::vector<InotifyWatch> found;
  ForEachInotifyWatchOf(path, [&](int fd, int wd, uint32_t) { found.push_back({fd, wd}); });
  return found;
}

uint32_t InotifyMaskOf(const std::string& path) {
  uint32_t mask = 0;
  ForEachInotifyWatchOf(path, [&](int, int, uint32_t m) { mask |= m; });
  return mask;
}

InotifyInstanceHolder::InotifyInstanceHolder()
    : notification_(FindFirstChangeNotification(dir_.path(), false, FILE_NOTIFY_CHANGE_FILE_NAME)) {
  EXPECT_NE(notification_, nullptr) << "no change notification for " << dir_.path();
}

InotifyInstanceHolder::~InotifyInstanceHolder() = default;

}  // namespace tavo::test
