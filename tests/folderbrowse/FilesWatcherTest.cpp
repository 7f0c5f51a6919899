#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "folderbrowse/ZuShellNotify.h"
#include "platform/notify/UiThreadCall.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo {
namespace {

using test::MakeDir;
using test::MakeFile;
using test::PumpFor;
using test::PumpUntil;
using test::TempDir;

constexpr int kQuiet = 100;

class FilesWatcherTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (watcher_ != nullptr) {
      watcher_->SetOnTerminate(nullptr);
      watcher_->Stop();
    }
    EXPECT_TRUE(test::AllThreadsEnded());
  }

  void Start(const std::string& path) {
    watcher_ = new TShFilesWatcher(
        path, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
        [this](TShFilesWatcher* sender, const std::string& reported) {
          EXPECT_EQ(sender, watcher_);
          reports_.push_back(reported);
        },
        {kQuiet});
    watcher_->SetOnTerminate([this](ui::TThread*) { watcher_ = nullptr; });
  }

  // Makes files in `dir` until the watcher reports: from then on it
  // watches `dir`. The reports start again empty.
  bool Prime(const std::string& dir) {
    PumpFor(30);  // the worker is most likely watching by then
    for (int i = 0; i < 30; ++i) {
      MakeFile(dir + "/probe" + std::to_string(probes_++));
      if (PumpUntil([&] { return !reports_.empty(); }, 3 * kQuiet)) {
        PumpFor(2 * kQuiet);
        reports_.clear();
        return true;
      }
    }
    return false;
  }

  TShFilesWatcher* watcher_ = nullptr;
  std::vector<std::string> reports_;
  int probes_ = 0;
};

TEST_F(FilesWatcherTest, ReportsItsPathOncePerBurstAndThenWatchesAgain) {
  TempDir dir;
  Start(dir.path());
  ASSERT_TRUE(Prime(dir.path()));
  for (int i = 0; i < 8; ++i) {
    MakeFile(dir / std::string("f").append(std::to_string(i)));
    PumpFor(15);
  }
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000));
  PumpFor(3 * kQuiet);
  EXPECT_EQ(reports_, std::vector<std::string>{dir.path()});
  // The notification was opened again after the report.
  EXPECT_TRUE(Prime(dir.path()));
}

TEST_F(FilesWatcherTest, SetPathComparesExactlyAndForgetsFoldersThatDoNotExist) {
  TempDir dir;
  MakeDir(dir / "Sub");
  Start("");
  struct Step {
    std::string given;
    bool signalled;
    std::string kept;
  } const steps[] = {
      {dir.path(), true, dir.path()},
      {dir.path(), false, dir.path()},
      {dir / "Sub", true, dir / "Sub"},
      {dir / "sub", true, ""},  // another name: no such folder
      {dir / "missing", true, ""},
      {"", false, ""},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.given);
    EXPECT_EQ(watcher_->SetPath(s.given), s.signalled);
    EXPECT_EQ(watcher_->Path(), s.kept);
  }
}

TEST_F(FilesWatcherTest, PathChangedDuringTheQuietPeriodGivesNoReportForTheOldFolder) {
  TempDir oldDir, newDir;
  Start(oldDir.path());
  ASSERT_TRUE(Prime(oldDir.path()));
  MakeFile(oldDir / "changed");
  PumpFor(kQuiet / 3);
  watcher_->SetPath(newDir.path());
  PumpFor(3 * kQuiet);
  EXPECT_TRUE(reports_.empty());
  EXPECT_TRUE(Prime(newDir.path()));
}

TEST_F(FilesWatcherTest, WatchedFolderThatIsDeletedIsStillReported) {
  TempDir dir;
  MakeDir(dir / "w");
  Start(dir / "w");
  ASSERT_TRUE(Prime(dir / "w"));
  for (int i = 0; i < probes_; ++i) ::unlink((dir / "w/probe" + std::to_string(i)).c_str());
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000));
  PumpFor(50);  // the worker opens the folder again
  reports_.clear();
  // Now only the folder's own end can be reported.
  ASSERT_EQ(::rmdir((dir / "w").c_str()), 0);
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000));
  EXPECT_EQ(reports_, std::vector<std::string>{dir / "w"});
}

TEST_F(FilesWatcherTest, FolderRemovedAndMadeAgainIsWatchedAgain) {
  TempDir dir;
  MakeDir(dir / "w");
  Start(dir / "w");
  ASSERT_TRUE(Prime(dir / "w"));
  test::RemoveAll(dir / "w");
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000)) << "removal";
  PumpFor(2 * kQuiet);
  reports_.clear();
  MakeDir(dir / "w");
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000)) << "made again";
  PumpFor(2 * kQuiet);
  reports_.clear();
  MakeFile(dir / "w/inside");
  ASSERT_TRUE(PumpUntil([&] { return !reports_.empty(); }, 3000)) << "a change in the new folder";
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
    MakeFile(dir / ("probe" + std::to_string(i)));
    PumpUntil([&] { return !reports_.empty(); }, 3 * kQuiet);
  }
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_TRUE(PumpUntil([&] { return reports_.size() == 2; }, 3000));
}

TEST_F(FilesWatcherTest, StopWhileAReportWaitsForTheUiThreadEndsCleanly) {
  TempDir dir;
  Start(dir.path());
  ASSERT_TRUE(Prime(dir.path()));
  MakeFile(dir / "pending");
  // No pass of the event loop: the report comes to wait for the UI thread.
  const auto start = test::Clock::now();
  while (ui::PendingUiThreadCalls() == 0 && test::MsSince(start) < 3000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(ui::PendingUiThreadCalls(), 1);
  watcher_->SetOnTerminate(nullptr);
  watcher_->Stop();
  watcher_ = nullptr;
  // The end of the program waits like this, serving calls but nothing else.
  EXPECT_TRUE(ui::TThread::WaitForAll(std::chrono::milliseconds(3000)));
  EXPECT_TRUE(reports_.empty());
}

}  // namespace
}  // namespace tavo
