#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellDbt.h"
#include "folderbrowse/ZuShellNotify.h"
#include "platform/shell/ShellAllocator.h"
#include "platform/system/SysUtils.h"
#include "platform/text/QtText.h"
#include "platform/ui/Modal.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo {
namespace {

using test::Clock;
using test::MakeDir;
using test::MsBetween;
using test::MsSince;
using test::PumpFor;
using test::TempDir;
using test::WaitUntil;

// Short waits, for tests that only wait for reports.
constexpr int kQuiet = 100;
constexpr int kSettle = 100;
// The waits of scenarios that make several changes within one quiet or
// settle period: long, so that the test keeps pace even on a loaded
// machine. The test measures its pace; an attempt in which the machine
// held it up for longer than the scenario allows says nothing and is made
// again, with a new watcher, at most kAttempts times.
constexpr int kLongQuiet = 1000;
constexpr int kLongSettle = 1000;
constexpr int kAttempts = 5;

class DirWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { blocks_ = ShellLiveBlocks(); }

  void TearDown() override {
    StopWatcher();
    devices_.clear();
    EXPECT_EQ(ShellLiveBlocks(), blocks_) << "item-ID lists leaked";
  }

  void Start(const std::vector<std::string>* folders, TShDirWatcher::Timing timing = {kQuiet, kSettle}) {
    watcher_ = new TShDirWatcher(
        folders, FILE_NOTIFY_CHANGE_DIR_NAME,
        [this](TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data) {
          EXPECT_EQ(sender, watcher_);
          devices_.push_back(std::move(data));
          deviceAt_ = Clock::now();
        },
        [this](TShDirWatcher* sender) {
          EXPECT_EQ(sender, watcher_);
          ++changes_;
          changeAt_ = Clock::now();
          if (throwInReport_) throw Exception("watcher report failed");
        },
        timing);
    watcher_->SetOnTerminate([this](ui::TThread*) {
      ++terminated_;
      watcher_ = nullptr;
    });
  }

  // Stops the watcher (it reports nothing from then on), waits until it
  // has ended and starts the counts again, for another attempt.
  void StopWatcher() {
    if (watcher_ != nullptr) {
      watcher_->SetOnTerminate(nullptr);
      watcher_->Stop();
      watcher_ = nullptr;
    }
    EXPECT_TRUE(test::AllThreadsEnded());
    changes_ = 0;
    devices_.clear();
  }

  // Waits until the worker watches `dir` with a watch that no earlier Prime
  // saw, then makes a folder there and waits for its one report: from then
  // on the worker watches `dir` and has no report on its way. The count
  // starts again at 0.
  ::testing::AssertionResult Prime(const std::string& dir) {
    std::vector<test::InotifyWatch> fresh;
    auto watched = WaitUntil("the worker to watch " + dir, [&] {
      fresh = test::InotifyWatchesOf(dir);
      std::erase_if(fresh, [&](const test::InotifyWatch& w) { return std::ranges::count(seen_, w) > 0; });
      return !fresh.empty();
    });
    if (!watched) return watched;
    seen_.insert(seen_.end(), fresh.begin(), fresh.end());
    changes_ = 0;
    MakeDir(dir + "/probe" + std::to_string(probes_++));
    auto reported = WaitUntil("the report of a folder made in " + dir, [&] { return changes_ > 0; });
    if (!reported) return reported;
    changes_ = 0;
    return ::testing::AssertionSuccess();
  }

  static std::unique_ptr<TDeviceChangeData> Data(const std::string& caption) {
    return std::make_unique<TDeviceChangeData>(caption, DBT_DEVICEARRIVAL, kDeviceNetwork, nullptr);
  }

  test::InotifyInstanceHolder inotify_;  // so that a folder watched anew has a new watch
  TShDirWatcher* watcher_ = nullptr;
  int changes_ = 0;
  int terminated_ = 0;
  int probes_ = 0;
  bool throwInReport_ = false;
  Clock::time_point changeAt_, deviceAt_;
  std::vector<std::unique_ptr<TDeviceChangeData>> devices_;
  std::vector<test::InotifyWatch> seen_;
  size_t blocks_ = 0;
};

TEST_F(DirWatcherTest, BurstOfCreationsGivesOneReportAfterTheQuietPeriod) {
  for (int attempt = 1;; ++attempt) {
    ASSERT_LE(attempt, kAttempts) << "the machine never kept the pace of the burst";
    StopWatcher();
    TempDir dir;
    const std::vector<std::string> folders{dir.path()};
    Start(&folders, {kLongQuiet, kSettle});
    ASSERT_TRUE(Prime(dir.path()));
    // Ten folders, each well within the quiet period of the one before.
    const test::Burst burst = test::MakeBurst(10, 20, [&](int i) { MakeDir(dir / ("burst" + std::to_string(i))); });
    if (burst.longestLull >= kLongQuiet / 2) {  // held up: a report within the burst would be right
      test::AttemptAgain(attempt, "the burst was held up for " + std::to_string(burst.longestLull) + " ms");
      StopWatcher();
      continue;
    }
    ASSERT_TRUE(WaitUntil("the report of the burst", [&] { return changes_ > 0; }));
    EXPECT_GE(MsBetween(burst.lastBefore, changeAt_), kLongQuiet - 5);
    PumpFor(2 * kLongQuiet);  // negative check: no second report
    EXPECT_EQ(changes_, 1);

    // Files are not what a folder-name watcher reports.
    test::MakeFile(dir / "file");
    PumpFor(2 * kLongQuiet);  // negative check
    EXPECT_EQ(changes_, 1);
    StopWatcher();  // before its folder goes
    break;
  }
}

TEST_F(DirWatcherTest, SetFoldersKeepsASortedListOfExistingFoldersAndSignalsOnlyOnChange) {
  TempDir d;
  MakeDir(d / "a");
  MakeDir(d / "b");
  MakeDir(d / "A");
  Start(nullptr);
  struct Step {
    const char* what;
    std::optional<std::vector<std::string>> given;
    std::vector<std::string> kept;
    bool signalled;
  };
  const Step steps[] = {
      {"new folders", {{d / "b", d / "a", d / "missing"}}, {d / "a/", d / "b/"}, true},
      {"same, other order", {{d / "a", d / "b"}}, {d / "a/", d / "b/"}, false},
      {"same, with separators and twice", {{d / "b/", d / "a/", d / "a"}}, {d / "a/", d / "b/"}, false},
      {"other letter case", {{d / "A", d / "b"}}, {d / "A/", d / "b/"}, true},
      {"both cases", {{d / "a", d / "A"}}, {d / "A/", d / "a/"}, true},
      {"none", std::nullopt, {}, true},
      {"none again", std::nullopt, {}, true},
      {"an empty list", std::vector<std::string>{}, {}, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    EXPECT_EQ(watcher_->SetFolders(s.given ? &*s.given : nullptr), s.signalled);
    EXPECT_EQ(watcher_->Folders(), s.kept);
  }
}

TEST_F(DirWatcherTest, PausedWatcherReportsNothingAndResumesWatching) {
  TempDir dir;
  const std::vector<std::string> folders{dir.path()};
  Start(&folders);
  ASSERT_TRUE(Prime(dir.path()));
  watcher_->SetFolders(nullptr);
  MakeDir(dir / "while-paused");
  PumpFor(3 * kQuiet);  // negative check
  EXPECT_EQ(changes_, 0);
  watcher_->SetFolders(&folders);
  EXPECT_TRUE(Prime(dir.path()));
}

TEST_F(DirWatcherTest, WatchedFolderThatIsDeletedIsReported) {
  TempDir dir;
  MakeDir(dir / "gone");
  MakeDir(dir / "stays");
  const std::vector<std::string> folders{dir / "gone", dir / "stays"};
  Start(&folders);
  ASSERT_TRUE(Prime(dir / "stays"));
  ASSERT_EQ(::rmdir((dir / "gone").c_str()), 0);
  EXPECT_TRUE(WaitUntil("the report of the deleted folder", [&] { return changes_ == 1; }));
}

TEST_F(DirWatcherTest, WatchesManyFoldersAtOnce) {
  TempDir dir;
  std::vector<std::string> folders;
  for (int i = 0; i < 100; ++i) {
    folders.push_back(dir / std::string("f").append(std::to_string(i)));
    MakeDir(folders.back());
  }
  Start(&folders);
  EXPECT_EQ(watcher_->Folders().size(), 100u);
  ASSERT_TRUE(Prime(folders[99]));
  MakeDir(folders[57] + "/new");
  EXPECT_TRUE(WaitUntil("the report of a folder made in the 58th folder", [&] { return changes_ == 1; }));
}

TEST_F(DirWatcherTest, DeviceBurstIsDeliveredWholeOnceItHasRested) {
  TempDir dir;
  PItemIDList list = nullptr;
  ASSERT_TRUE(PathToPIDL(dir.path(), list));
  for (int attempt = 1;; ++attempt) {
    ASSERT_LE(attempt, kAttempts) << "the machine never kept the pace of the burst";
    StopWatcher();
    Start(nullptr, {kQuiet, kLongSettle});
    // Three changes, each within the settle time of the one before, and
    // together longer than one settle time: each one starts the wait anew.
    Clock::time_point lastBefore;
    long long longestLull = 0;  // the longest time from a change to the next look
    std::vector<bool> deliveredEarly;
    for (const char* caption : {"1", "2", "3"}) {
      lastBefore = Clock::now();
      watcher_->PostDeviceChange(std::make_unique<TDeviceChangeData>(caption, DBT_DEVICEARRIVAL, kDeviceMedia, list));
      PumpFor(kLongSettle * 2 / 5);  // the pace of the burst; and a negative check
      deliveredEarly.push_back(!devices_.empty());
      longestLull = std::max(longestLull, test::MsSince(lastBefore));
    }
    if (longestLull >= kLongSettle * 4 / 5) {  // held up: a delivery within the burst would be right
      test::AttemptAgain(attempt, "the burst was held up for " + std::to_string(longestLull) + " ms");
      StopWatcher();
      continue;
    }
    EXPECT_EQ(deliveredEarly, std::vector<bool>(3, false)) << "delivered before the burst rested";
    ASSERT_TRUE(WaitUntil("the device changes of the burst", [&] { return devices_.size() == 3; }));
    EXPECT_GE(MsBetween(lastBefore, deviceAt_), kLongSettle - 5);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(devices_[i]->Caption, std::to_string(i + 1));
      EXPECT_NE(devices_[i]->DriveList(), nullptr);  // each its own copy
    }
    PumpFor(2 * kLongSettle);  // negative check: nothing more
    EXPECT_EQ(devices_.size(), 3u);
    break;
  }
  FreePIDL(list);
}

TEST_F(DirWatcherTest, DeviceChangeDuringTheQuietPeriodEndsItWithoutAChangeReport) {
  TempDir dir;
  for (int attempt = 1;; ++attempt) {
    ASSERT_LE(attempt, kAttempts) << "the device change never came within the quiet period";
    StopWatcher();
    const std::string folder = dir / ("attempt" + std::to_string(attempt));
    MakeDir(folder);
    const std::vector<std::string> folders{folder};
    Start(&folders, {kLongQuiet, kSettle});
    ASSERT_TRUE(Prime(folder));
    const Clock::time_point before = Clock::now();
    MakeDir(folder + "/changed");
    // The worker sees the change and starts its quiet period at once;
    // this pause makes sure it has, on all but a stalled machine.
    PumpFor(kLongQuiet / 4);
    watcher_->PostDeviceChange(Data("drive"));
    const long long lull = MsSince(before);
    ASSERT_TRUE(WaitUntil("the device change", [&] { return devices_.size() == 1; }));
    PumpFor(2 * kLongQuiet);  // negative check: no change report
    // A device change that came after the quiet period, or before the worker
    // began it, is followed by the change report; the machine held up the
    // test or the worker then, so try again.
    if (lull >= kLongQuiet / 2 || (changes_ == 1 && changeAt_ > deviceAt_)) {
      test::AttemptAgain(attempt, "the device change came " + std::to_string(lull) + " ms after the folder change" +
                                      (changes_ == 1 ? ", and the change report after it" : ""));
      continue;
    }
    EXPECT_EQ(changes_, 0);
    break;
  }
}

TEST_F(DirWatcherTest, StoppedWatcherEndsFreesItselfAndReportsNothing) {
  TempDir dir;
  const std::vector<std::string> folders{dir.path()};
  Start(&folders);
  ASSERT_TRUE(Prime(dir.path()));
  MakeDir(dir / "pending");
  PItemIDList list = nullptr;
  ASSERT_TRUE(PathToPIDL(dir.path(), list));
  watcher_->PostDeviceChange(std::make_unique<TDeviceChangeData>("pending", DBT_DEVICEARRIVAL, kDeviceMedia, list));
  watcher_->Stop();
  // Without a callback a post is freed at once.
  watcher_->PostDeviceChange(std::make_unique<TDeviceChangeData>("late", DBT_DEVICEARRIVAL, kDeviceMedia, list));
  FreePIDL(list);
  EXPECT_TRUE(test::AllThreadsEnded());
  EXPECT_EQ(terminated_, 1);
  EXPECT_EQ(watcher_, nullptr);
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(devices_.empty());
}

TEST_F(DirWatcherTest, ErrorInAReportIsShownOnTheUiThreadAndEndsTheWatcher) {
  TempDir dir;
  const std::vector<std::string> folders{dir.path()};
  Start(&folders);
  ASSERT_TRUE(Prime(dir.path()));
  ui::ClearModalHistory();
  throwInReport_ = true;
  MakeDir(dir / "first");
  ASSERT_TRUE(WaitUntil("the watcher to end after its failed report", [&] { return terminated_ == 1; }));
  EXPECT_EQ(changes_, 1);
  const auto& shown = ui::ModalHistory();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, ui::ModalCall::Message);
  EXPECT_EQ(shown[0].text, QStringLiteral("watcher report failed"));
}

}  // namespace
}  // namespace tavo
