#include <gtest/gtest.h>
#include <unistd.h>

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
using test::MsSince;
using test::PumpFor;
using test::PumpUntil;
using test::TempDir;

constexpr int kQuiet = 100;
constexpr int kSettle = 100;

class DirWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { blocks_ = ShellLiveBlocks(); }

  void TearDown() override {
    if (watcher_ != nullptr) {
      watcher_->SetOnTerminate(nullptr);
      watcher_->Stop();
      watcher_ = nullptr;
    }
    EXPECT_TRUE(test::AllThreadsEnded());
    devices_.clear();
    EXPECT_EQ(ShellLiveBlocks(), blocks_) << "item-ID lists leaked";
  }

  void Start(const std::vector<std::string>* folders) {
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
        {kQuiet, kSettle});
    watcher_->SetOnTerminate([this](ui::TThread*) {
      ++terminated_;
      watcher_ = nullptr;
    });
  }

  // Makes folders under `dir` until the watcher reports one: from then on
  // the worker watches `dir`. The counters start again at 0.
  bool Prime(const std::string& dir) {
    PumpFor(30);  // the worker is most likely watching by then
    for (int i = 0; i < 30; ++i) {
      MakeDir(dir + "/probe" + std::to_string(probes_++));
      if (PumpUntil([&] { return changes_ > 0; }, 3 * kQuiet)) {
        PumpFor(2 * kQuiet);
        changes_ = 0;
        return true;
      }
    }
    return false;
  }

  static std::unique_ptr<TDeviceChangeData> Data(const std::string& caption) {
    return std::make_unique<TDeviceChangeData>(caption, DBT_DEVICEARRIVAL, kDeviceNetwork, nullptr);
  }

  TShDirWatcher* watcher_ = nullptr;
  int changes_ = 0;
  int terminated_ = 0;
  int probes_ = 0;
  bool throwInReport_ = false;
  Clock::time_point changeAt_, deviceAt_;
  std::vector<std::unique_ptr<TDeviceChangeData>> devices_;
  size_t blocks_ = 0;
};

TEST_F(DirWatcherTest, BurstOfCreationsGivesOneReportAfterTheQuietPeriod) {
  TempDir dir;
  const std::vector<std::string> folders{dir.path()};
  Start(&folders);
  ASSERT_TRUE(Prime(dir.path()));
  Clock::time_point last;
  for (int i = 0; i < 10; ++i) {
    MakeDir(dir / ("burst" + std::to_string(i)));
    last = Clock::now();
    PumpFor(20);
  }
  ASSERT_TRUE(PumpUntil([&] { return changes_ > 0; }, 3000));
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(changeAt_ - last).count(), kQuiet - 5);
  PumpFor(3 * kQuiet);
  EXPECT_EQ(changes_, 1);

  // Files are not what a folder-name watcher reports.
  test::MakeFile(dir / "file");
  PumpFor(3 * kQuiet);
  EXPECT_EQ(changes_, 1);
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
  PumpFor(3 * kQuiet);
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
  EXPECT_TRUE(PumpUntil([&] { return changes_ == 1; }, 3000));
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
  EXPECT_TRUE(PumpUntil([&] { return changes_ == 1; }, 3000));
}

TEST_F(DirWatcherTest, DeviceBurstIsDeliveredWholeOnceItHasRested) {
  TempDir dir;
  PItemIDList list = nullptr;
  ASSERT_TRUE(PathToPIDL(dir.path(), list));
  Start(nullptr);
  Clock::time_point last;
  for (const char* caption : {"1", "2", "3"}) {
    watcher_->PostDeviceChange(std::make_unique<TDeviceChangeData>(caption, DBT_DEVICEARRIVAL, kDeviceMedia, list));
    last = Clock::now();
    PumpFor(kSettle / 2);
    EXPECT_TRUE(devices_.empty()) << "delivered before the burst rested";
  }
  FreePIDL(list);
  ASSERT_TRUE(PumpUntil([&] { return devices_.size() == 3; }, 3000));
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(deviceAt_ - last).count(), kSettle - 5);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(devices_[i]->Caption, std::to_string(i + 1));
    EXPECT_NE(devices_[i]->DriveList(), nullptr);  // each its own copy
  }
  PumpFor(2 * kSettle);
  EXPECT_EQ(devices_.size(), 3u);
}

TEST_F(DirWatcherTest, DeviceChangeDuringTheQuietPeriodEndsItWithoutAChangeReport) {
  TempDir dir;
  const std::vector<std::string> folders{dir.path()};
  Start(&folders);
  ASSERT_TRUE(Prime(dir.path()));
  MakeDir(dir / "changed");
  PumpFor(kQuiet / 3);
  watcher_->PostDeviceChange(Data("drive"));
  ASSERT_TRUE(PumpUntil([&] { return devices_.size() == 1; }, 3000));
  PumpFor(3 * kQuiet);
  EXPECT_EQ(changes_, 0);
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
  ASSERT_TRUE(PumpUntil([&] { return terminated_ == 1; }, 5000));
  EXPECT_EQ(changes_, 1);
  const auto& shown = ui::ModalHistory();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, ui::ModalCall::Message);
  EXPECT_EQ(shown[0].text, QStringLiteral("watcher report failed"));
}

}  // namespace
}  // namespace tavo
