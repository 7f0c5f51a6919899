#include "platform/notify/ChangeNotification.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo {
namespace {

using test::MakeDir;
using test::MakeFile;
using test::TempDir;

// How long a change may take to arrive: it normally takes a moment; the
// wait ends as soon as it has come.
constexpr int kArrives = static_cast<int>(test::kWaitDeadline.count());

bool Signals(ChangeNotification& n, int ms = kArrives) { return WaitForSingleObject(n, ms) == WAIT_OBJECT_0; }

std::unique_ptr<ChangeNotification> Open(const std::string& path, bool subtree, uint32_t filter) {
  auto n = FindFirstChangeNotification(path, subtree, filter);
  EXPECT_NE(n, nullptr) << path << ": errno " << errno;
  return n;
}

// Tells when the process's inotify instance has handled every change made
// so far. One background thread reads its events in the order they
// happened; it handles a batch of events, then walks the folders they
// brought into watched sub-trees, then reads the next batch. A change in a
// folder of the probe's own, made after the probe was signalled once, comes
// in a later batch than every change made before: when it has been
// signalled too, those changes have been handled and their folders walked.
class HubProbe {
 public:
  HubProbe() : probe_(Open(dir_.path(), false, FILE_NOTIFY_CHANGE_FILE_NAME)) {}

  ::testing::AssertionResult CaughtUp() {
    for (int round = 0; round < 2; ++round) {
      FindNextChangeNotification(*probe_);
      MakeFile(dir_ / std::string("p").append(std::to_string(made_++)));
      if (!Signals(*probe_)) return ::testing::AssertionFailure() << "the probe's own change never arrived";
    }
    return ::testing::AssertionSuccess();
  }

  // Whether `n` stays unsignalled once every change made so far has been
  // handled.
  ::testing::AssertionResult Quiet(ChangeNotification& n) {
    if (auto caughtUp = CaughtUp(); !caughtUp) return caughtUp;
    if (Signals(n, 0)) return ::testing::AssertionFailure() << "signalled";
    return ::testing::AssertionSuccess();
  }

 private:
  TempDir dir_;
  std::unique_ptr<ChangeNotification> probe_;
  int made_ = 0;
};

struct FilterCase {
  const char* name;
  uint32_t filter;
  std::function<void(const TempDir&)> change;
  bool signalled;
};

TEST(ChangeNotification, FilterSelectsWhichChangesSignal) {
  const uint32_t kNames = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
  const uint32_t kDetails = FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
  auto createFile = [](const TempDir& d) { MakeFile(d / "new"); };
  auto createDir = [](const TempDir& d) { MakeDir(d / "newdir"); };
  auto renameFile = [](const TempDir& d) { ASSERT_EQ(::rename((d / "f").c_str(), (d / "g").c_str()), 0); };
  auto deleteDir = [](const TempDir& d) { ASSERT_EQ(::rmdir((d / "d").c_str()), 0); };
  auto writeFile = [](const TempDir& d) { MakeFile(d / "f", "more"); };
  auto chmodFile = [](const TempDir& d) { ASSERT_EQ(::chmod((d / "f").c_str(), 0600), 0); };
  auto deepDir = [](const TempDir& d) { MakeDir(d / "d/deeper"); };
  const FilterCase cases[] = {
      {"file created, file names", FILE_NOTIFY_CHANGE_FILE_NAME, createFile, true},
      {"file created, folder names", FILE_NOTIFY_CHANGE_DIR_NAME, createFile, false},
      {"folder created, folder names", FILE_NOTIFY_CHANGE_DIR_NAME, createDir, true},
      {"folder created, file names", FILE_NOTIFY_CHANGE_FILE_NAME, createDir, false},
      {"file renamed, names", kNames, renameFile, true},
      {"folder deleted, folder names", FILE_NOTIFY_CHANGE_DIR_NAME, deleteDir, true},
      {"file written, details", kDetails, writeFile, true},
      {"file written, names", kNames, writeFile, false},
      {"file chmod, details", kDetails, chmodFile, true},
      {"file chmod, size only", FILE_NOTIFY_CHANGE_SIZE, chmodFile, false},
      {"empty file created, details", kDetails, createFile, false},
      {"folder in a sub-folder, no sub-tree", kNames, deepDir, false},
  };
  HubProbe hub;
  for (const FilterCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    MakeFile(dir / "f", "x");
    MakeDir(dir / "d");
    auto n = Open(dir.path(), false, c.filter);
    ASSERT_NE(n, nullptr);
    c.change(dir);
    if (c.signalled)
      EXPECT_TRUE(Signals(*n));
    else
      EXPECT_TRUE(hub.Quiet(*n));
  }
}

TEST(ChangeNotification, SubTreeFollowsFoldersThatComeGoAndMove) {
  TempDir dir, outside;
  HubProbe hub;
  MakeDir(dir / "tree");
  auto n = Open(dir / "tree", true, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  ASSERT_NE(n, nullptr);

  // Folders made in a hurry, one inside the other, are all watched.
  MakeDir(dir / "tree/a");
  MakeDir(dir / "tree/a/b");
  MakeDir(dir / "tree/a/b/c");
  ASSERT_TRUE(hub.CaughtUp());  // the new folders are walked
  FindNextChangeNotification(*n);
  MakeFile(dir / "tree/a/b/c/file");
  EXPECT_TRUE(Signals(*n));

  // A folder moved out of the tree is no longer watched ...
  ASSERT_EQ(::rename((dir / "tree/a").c_str(), (outside / "a").c_str()), 0);
  EXPECT_TRUE(Signals(*n));
  ASSERT_TRUE(hub.CaughtUp());
  FindNextChangeNotification(*n);
  MakeFile(outside / "a/b/elsewhere");
  EXPECT_TRUE(hub.Quiet(*n));

  // ... and one moved in is, with what it holds.
  ASSERT_EQ(::rename((outside / "a").c_str(), (dir / "tree/back").c_str()), 0);
  ASSERT_TRUE(hub.CaughtUp());  // the folder moved in is walked
  FindNextChangeNotification(*n);
  MakeFile(dir / "tree/back/b/c/again");
  EXPECT_TRUE(Signals(*n));
}

TEST(ChangeNotification, WatchedFolderGoingAwaySignalsWhateverTheFilter) {
  HubProbe hub;
  for (const bool moved : {false, true}) {
    SCOPED_TRACE(moved ? "moved" : "deleted");
    TempDir dir;
    MakeDir(dir / "w");
    auto n = Open(dir / "w", false, FILE_NOTIFY_CHANGE_SIZE);
    ASSERT_NE(n, nullptr);
    if (moved)
      ASSERT_EQ(::rename((dir / "w").c_str(), (dir / "elsewhere").c_str()), 0);
    else
      ASSERT_EQ(::rmdir((dir / "w").c_str()), 0);
    EXPECT_TRUE(Signals(*n));
    FindNextChangeNotification(*n);
    EXPECT_TRUE(hub.Quiet(*n));  // and is quiet while it is gone
    // Back at its place (made again, or moved back, below a folder made
    // again too), it is watched again.
    if (moved) {
      MakeDir(dir / "p");
      ASSERT_EQ(::rename((dir / "elsewhere").c_str(), (dir / "p/w").c_str()), 0);
      ASSERT_EQ(::rename((dir / "p").c_str(), (dir / "w").c_str()), 0);
      ASSERT_EQ(::rename((dir / "w/w").c_str(), (dir / "x").c_str()), 0);
      ASSERT_EQ(::rmdir((dir / "w").c_str()), 0);
      ASSERT_EQ(::rename((dir / "x").c_str(), (dir / "w").c_str()), 0);
    } else {
      MakeDir(dir / "w");
    }
    EXPECT_TRUE(Signals(*n));
    FindNextChangeNotification(*n);
    MakeFile(dir / "w/f", "grows");
    EXPECT_TRUE(Signals(*n));
  }
}

TEST(ChangeNotification, NotificationsOfOneFolderAreIndependent) {
  // They share the folder's watch; closing one must not blind the other.
  TempDir dir;
  HubProbe hub;
  auto names = Open(dir.path(), false, FILE_NOTIFY_CHANGE_FILE_NAME);
  auto sizes = Open(dir.path(), false, FILE_NOTIFY_CHANGE_SIZE);
  MakeFile(dir / "a");
  EXPECT_TRUE(Signals(*names));
  EXPECT_TRUE(hub.Quiet(*sizes));
  EXPECT_TRUE(FindCloseChangeNotification(std::move(sizes)));
  FindNextChangeNotification(*names);
  MakeFile(dir / "b");
  EXPECT_TRUE(Signals(*names));
}

TEST(ChangeNotification, MoreNotificationsThanTheSystemHasInotifyInstances) {
  TempDir dir;
  std::vector<std::unique_ptr<ChangeNotification>> all;
  std::vector<WaitHandle*> handles;
  for (int i = 0; i < 300; ++i) {
    const std::string folder = dir / std::to_string(i);
    MakeDir(folder);
    all.push_back(Open(folder, false, FILE_NOTIFY_CHANGE_FILE_NAME));
    ASSERT_NE(all.back(), nullptr) << i;
    handles.push_back(all.back().get());
  }
  MakeFile(dir / "217/x");
  EXPECT_EQ(WaitForMultipleObjects(handles, kArrives), WAIT_OBJECT_0 + 217);
}

TEST(ChangeNotification, OpenFailsForWhatCannotBeWatched) {
  TempDir dir;
  MakeFile(dir / "file");
  struct Case {
    std::string path;
    uint32_t filter;
    int error;
  } const cases[] = {
      {dir / "missing", FILE_NOTIFY_CHANGE_FILE_NAME, ENOENT},
      {dir / "file", FILE_NOTIFY_CHANGE_FILE_NAME, ENOTDIR},
      {dir.path(), 0, EINVAL},
      {dir.path() + "/\x82", FILE_NOTIFY_CHANGE_FILE_NAME, ENOENT},  // a lead byte alone: no OS form
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    errno = 0;
    EXPECT_EQ(FindFirstChangeNotification(c.path, false, c.filter), nullptr);
    EXPECT_EQ(errno, c.error);
  }
  EXPECT_FALSE(FindCloseChangeNotification(nullptr));
}

}  // namespace
}  // namespace tavo
