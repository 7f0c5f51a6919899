#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellNotify.h"
#include "platform/ui/UiThreadCall.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo {
namespace {

using test::Clock;
using test::MakeDir;
using test::MakeFile;
using test::MsBetween;
using test::PumpFor;
using test::TempDir;
using test::WaitUntil;

// The short wait, for tests that only wait for reports.
constexpr int kQuiet = 100;
// The wait of scenarios that make changes within one quiet period: long,
// so that the test keeps pace even on a loaded machine. The test measures
// its pace; an attempt in which the machine held it up for longer than the
// scenario allows says nothing and is made again, with a new watcher, at
// most kAttempts times.
constexpr int kLongQuiet = 1000;
constexpr int kAttempts = 5;

class FilesWatcherTest : public ::testing::Test {
 protected:
  void TearDown() override {
    StopWatcher();
  }

  void Start(const std::string& path, int quietMs = kQuiet) {
    watcher_ = new TShFilesWatcher(
        path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
        [this](TShFilesWatcher* sender, const std::string& reported) {
          EXPECT_EQ(sender, watcher_);
          reports_.push_back(reported);
          reportAt_ = Clock::now();
        },
        {quietMs});
    watcher_->SetOnTerminate([this](ui::TThread*) { watcher_ = nullptr; });
  }

  // Stops the watcher (it reports nothing from then on), waits until it
  // has ended and forgets its reports, for another attempt.
  void StopWatcher() {
    if (watcher_ != nullptr) {
      watcher_->SetOnTerminate(nullptr);
      watcher_->Stop();
      watcher_ = nullptr;
    }
    EXPECT_TRUE(test::AllThreadsEnded());
    reports_.clear();
  }

  // Waits until the worker watches `dir` with a watch that no earlier wait
  // saw.
  ::testing::AssertionResult WatchedAnew(const std::string& dir) {
    std::vector<test::InotifyWatch> fresh;
    auto watched = WaitUntil("the worker to open " + dir + " anew", [&] {
      fresh = test::InotifyWatchesOf(dir);
      std::erase_if(fresh, [&](const test::InotifyWatch& w) { return std::ranges::count(seen_, w) > 0; });
      return !fresh.empty();
    });
    if (watched) seen_.insert(seen_.end(), fresh.begin(), fresh.end());
    return watched;
  }

  // Waits until the worker watches `dir`, makes a file there and waits for
  // its report: from then on it watches `dir` (it keeps its watch across a
  // report) and has no report on its way. The reports start again empty.
  ::testing::AssertionResult Prime(const std::string& dir) {
    if (auto watched = WatchedAnew(dir); !watched) return watched;
    return ReportsAChange(dir);
  }

  // Makes a file in `dir`, which the worker watches, and waits for its
  // report. The reports start again empty.
  ::testing::AssertionResult ReportsAChange(const std::string& dir) {
    reports_.clear();
    MakeFile(dir + "/probe" + std::to_string(probes_++));
    if (auto reported = WaitUntil("the report of a file made in " + dir, [&] { return !reports_.empty(); });
        !reported)
      return reported;
    reports_.clear();
    return ::testing::AssertionSuccess();
  }

  test::InotifyInstanceHolder inotify_;  // so that a folder watched anew has a new watch
  TShFilesWatcher* watcher_ = nullptr;
  std::vector<std::string> reports_;
  Clock::time_point reportAt_;
  std::vector<test::InotifyWatch> seen_;
  int probes_ = 0;
};

TEST_F(FilesWatcherTest, ReportsItsPathOncePerBurstAndThenWatchesAgain) {
  for (int attempt = 1;; ++attempt) {
    ASSERT_LE(attempt, kAttempts) << "the machine never kept the pace of the burst";
    StopWatcher();
    TempDir dir;
    Start(dir.path(), kLongQuiet);
    ASSERT_TRUE(Prime(dir.path()));
    // Eight files, each well within the quiet period of the one before.
    const test::Burst burst = test::MakeBurst(8, 15, [&](int i) { MakeFile(dir / std::string("f").append(std::to_string(i))); });
    if (burst.longestLull >= kLongQuiet / 2) {  // held up: a report within the burst would be right
      test::AttemptAgain(attempt, "the burst was held up for " + std::to_string(burst.longestLull) + " ms");
      StopWatcher();
      continue;
    }
    ASSERT_TRUE(WaitUntil("the report of the burst", [&] { return !reports_.empty(); }));
    EXPECT_GE(MsBetween(burst.lastBefore, reportAt_), kLongQuiet - 5);
    PumpFor(2 * kLongQuiet);  // negative check: no second report
    EXPECT_EQ(reports_, std::vector<std::string>{dir.path()});
    // The folder is still watched after the report.
    EXPECT_TRUE(ReportsAChange(dir.path()));
    StopWatcher();
    break;
  }
}

TEST_F(FilesWatcherTest, SetPathComparesExactlyAndAFolderThatIsNotThereIsReportedOnce) {
  TempDir dir;
  MakeDir(dir / "Sub");
  Start("");
  struct Step {
    std::string given;
    bool signalled;
  } const steps[] = {
      {dir.path(), true}, {dir.path(), false}, {dir / "Sub", true}, {dir / "sub", true}, {"", true}, {"", false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.given);
    EXPECT_EQ(watcher_->SetPath(s.given), s.signalled);
    EXPECT_EQ(watcher_->Path(), s.given);
  }
  // Another name is another folder: one that went after its owner listed it
  // (here: was never there) is reported, so that the owner moves on.
  PumpFor(2 * kQuiet);
  reports_.clear();
  watcher_->SetPath(dir / "sub");
  ASSERT_TRUE(WaitUntil("the report of the folder that is not there", [&] { return !reports_.empty(); }));
  PumpFor(2 * kQuiet);  // negative check: once
  EXPECT_EQ(reports_, std::vector<std::string>{dir / "sub"});
}

TEST_F(FilesWatcherTest, PathChangedDuringTheQuietPeriodGivesNoReportForTheOldFolder) {
  TempDir newDir;
  for (int attempt = 1;; ++attempt) {
    ASSERT_LE(attempt, kAttempts) << "the new path never came within the quiet period";
    StopWatcher();
    TempDir oldDir;
    Start(oldDir.path(), kLongQuiet);
    ASSERT_TRUE(Prime(oldDir.path()));
    const Clock::time_point before = Clock::now();
    MakeFile(oldDir / "changed");
    // Most likely the worker is in its quiet period then; if it has not
    // yet seen the change, the new path comes first and there is no report
    // either.
    PumpFor(kLongQuiet / 4);
    watcher_->SetPath(newDir.path());
    if (const long long lull = test::MsSince(before); lull >= kLongQuiet / 2) {  // held up: a report might be right
      test::AttemptAgain(attempt, "the new path came " + std::to_string(lull) + " ms after the change");
      StopWatcher();
      continue;
    }
    PumpFor(2 * kLongQuiet);  // negative check
    EXPECT_TRUE(reports_.empty());
    EXPECT_TRUE(Prime(newDir.path()));
    break;
  }
}

TEST_F(FilesWatcherTest, WatchedFolderThatIsDeletedIsStillReported) {
  TempDir dir;
  MakeDir(dir / "w");
  Start(dir / "w");
  ASSERT_TRUE(Prime(dir / "w"));
  for (int i = 0; i < probes_; ++i) ::unlink((dir / "w/probe" + std::to_string(i)).c_str());
  ASSERT_TRUE(WaitUntil("the report of the deleted files", [&] { return !reports_.empty(); }));
  reports_.clear();
  // Now only the folder's own end can be reported.
  ASSERT_EQ(::rmdir((dir / "w").c_str()), 0);
  ASSERT_TRUE(WaitUntil("the report of the deleted folder", [&] { return !reports_.empty(); }));
  EXPECT_EQ(reports_, std::vector<std::string>{dir / "w"});
}

TEST_F(FilesWatcherTest, FolderRemovedAndMadeAgainIsWatchedAgain) {
  TempDir dir;
  MakeDir(dir / "w");
  Start(dir / "w");
  ASSERT_TRUE(Prime(dir / "w"));
  test::RemoveAll(dir / "w");
  ASSERT_TRUE(WaitUntil("the report of the removal", [&] { return !reports_.empty(); }));
  PumpFor(2 * kQuiet);
  reports_.clear();
  MakeDir(dir / "w");
  ASSERT_TRUE(WaitUntil("the report of the folder made again", [&] { return !reports_.empty(); }));
  PumpFor(2 * kQuiet);
  reports_.clear();
  MakeFile(dir / "w/inside");
  ASSERT_TRUE(WaitUntil("the report of a change in the new folder", [&] { return !reports_.empty(); }));
  EXPECT_EQ(reports_, std::vector<std::string>{dir / "w"});
}

TEST_F(FilesWatcherTest, AChangeMadeWhileTheReportRunsIsReportedToo) {
  TempDir dir;
  watcher_ = new TShFilesWatcher(
      dir.path(), FILE_NOTIFY_CHANGE_FILE_NAME,
      [&](TShFilesWatcher*, const std::string& reported) {
        reports_.push_back(reported);
        if (reports_.size() == 1) MakeFile(dir / "during");
      },
      {kQuiet});
  watcher_->SetOnTerminate([this](ui::TThread*) { watcher_ = nullptr; });
  for (int i = 0; i < 30 && reports_.empty(); ++i) {
    MakeFile(dir / std::string("probe").append(std::to_string(i)));
    (void)WaitUntil("a report of the probe", [&] { return !reports_.empty(); }, std::chrono::milliseconds(3 * kQuiet));
  }
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(WaitUntil("the report of the change made during the report", [&] { return reports_.size() == 2; }));
}

TEST_F(FilesWatcherTest, StopWhileAReportWaitsForTheUiThreadEndsCleanly) {
  TempDir dir;
  Start(dir.path());
  ASSERT_TRUE(Prime(dir.path()));
  MakeFile(dir / "pending");
  // No pass of the event loop: the report comes to wait for the UI thread.
  ASSERT_TRUE(test::WaitUntilWithoutEvents("the report to wait for the UI thread",
                                           [] { return ui::PendingUiThreadCalls() > 0; }));
  ASSERT_EQ(ui::PendingUiThreadCalls(), 1);
  watcher_->SetOnTerminate(nullptr);
  watcher_->Stop();
  watcher_ = nullptr;
  // The end of the program waits like this, serving calls but nothing else.
  EXPECT_TRUE(ui::TThread::WaitForAll(test::kWaitDeadline));
  EXPECT_TRUE(reports_.empty());
}

}  // namespace
}  // namespace tavo
