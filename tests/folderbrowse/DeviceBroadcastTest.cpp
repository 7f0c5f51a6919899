#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellCtrlList.h"
#include "folderbrowse/ZuShellUtils.h"
#include "platform/shell/ShellAllocator.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace tavo {
namespace {

using test::WaitUntil;
using test::TempDir;

std::string Bytes(PCItemIDList list) {
  return list == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(list), PIDLSize(list));
}

std::string ListBytesOf(const std::string& path) {
  PItemIDList list = nullptr;
  EXPECT_TRUE(PathToPIDL(path, list)) << path;
  std::string bytes = Bytes(list);
  FreePIDL(list);
  return bytes;
}

// Both byte strings hold lists of the same object. Lists made at different
// times may differ in bytes (a file-system ID carries what the disk said):
// the folder decides.
bool SameObject(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return a == b;
  PItemIDList la = IDListFromBytes(a.data(), a.size()), lb = IDListFromBytes(b.data(), b.size());
  const bool same = ComparePIDL(ShellGetDesktopFolder(), la, lb) == 0;
  FreePIDL(la);
  FreePIDL(lb);
  return same;
}

struct Received {
  std::string caption;
  uint32_t event;
  uint16_t kind;
  std::string list;  // bytes; empty for none
};

// A file list's place in the registry: it is handed every change.
class ListControl : public TShellDeviceChangeReceiver {
 public:
  void PostDeviceToWatcher(const std::string& caption, uint32_t event, PCItemIDList driveList,
                           uint16_t kind) override {
    got.push_back({caption, event, kind, Bytes(driveList)});
  }
  std::vector<Received> got;
};

// A folder tree's place: changes go through its watcher to DeviceChanged.
class TreeControl : public TShellTreeDeviceReceiver {
 public:
  TreeControl() {
    watcher_ = new TShDirWatcher(
        nullptr, FILE_NOTIFY_CHANGE_DIR_NAME,
        [this](TShDirWatcher* sender, std::unique_ptr<TDeviceChangeData> data) { DeviceChanged(sender, std::move(data)); },
        nullptr, {1500, 50});
    watcher_->SetOnTerminate([this](ui::TThread*) { watcher_ = nullptr; });
  }
  ~TreeControl() {
    if (watcher_ != nullptr) {
      watcher_->SetOnTerminate(nullptr);
      watcher_->Stop();
    }
  }
  void DeviceChanged(TShDirWatcher*, std::unique_ptr<TDeviceChangeData> data) override {
    pointers.push_back(data->DriveList());
    got.push_back({data->Caption, data->Event, data->Kind, Bytes(data->DriveList())});
  }
  std::vector<Received> got;
  std::vector<const void*> pointers;

 protected:
  TShDirWatcher* DeviceWatcher() const override { return watcher_; }

 private:
  TShDirWatcher* watcher_ = nullptr;
};

class DeviceBroadcastTest : public ::testing::Test {
 protected:
  void SetUp() override { blocks_ = ShellLiveBlocks(); }
  void TearDown() override {
    EXPECT_TRUE(test::AllThreadsEnded());
    EXPECT_EQ(ShellLiveBlocks(), blocks_) << "item-ID lists leaked";
  }
  size_t blocks_ = 0;
};

TEST_F(DeviceBroadcastTest, MonitorRunsWhileAnyControlIsRegistered) {
  TShellCtrlList registry;
  ListControl list;
  TreeControl tree;
  EXPECT_FALSE(registry.Listening());
  registry.RegisterControl(&tree);
  registry.RegisterControl(&list);
  EXPECT_TRUE(registry.Listening());
  EXPECT_EQ(registry.Count(), 2);
  registry.UnregisterControl(&tree);
  EXPECT_TRUE(registry.Listening());
  registry.UnregisterControl(&list);
  EXPECT_FALSE(registry.Listening());
  EXPECT_EQ(registry.Count(), 0);
}

TEST_F(DeviceBroadcastTest, VolumeBroadcastsBecomeCaptionAndList) {
  TempDir volume;  // stands for a mount point: an existing folder
  const std::string mp = volume.path();
  struct Case {
    const char* what;
    uint32_t msg, wParam, deviceType;
    std::string mountPoint;
    uint16_t flags;
    bool dispatched;
    std::string caption;
    uint16_t kind;
    bool hasList;
  } const cases[] = {
      // Not a volume of My Computer here: named by its mount point.
      {"media arrival", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, mp, DBTF_MEDIA, true, mp,
       kDeviceMedia, true},
      {"media removal", WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, mp, DBTF_MEDIA, true, mp,
       kDeviceMedia, true},
      {"network arrival", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, "/net/share", DBTF_NET, true, "",
       kDeviceNetwork, false},
      {"network removal", WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, "", DBTF_NET, true, "",
       kDeviceNetwork, false},
      {"plain volume", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, mp, 0, false, "", 0, false},
      {"not a volume", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 5, mp, DBTF_MEDIA, false, "", 0, false},
      {"other event", WM_DEVICECHANGE, 0x8001, DBT_DEVTYP_VOLUME, mp, DBTF_MEDIA, false, "", 0, false},
      {"other message", 0x0400, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, mp, DBTF_MEDIA, false, "", 0, false},
      {"mount point that names nothing", WM_DEVICECHANGE, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, mp + "/missing",
       DBTF_MEDIA, false, "", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TShellCtrlList registry;
    ListControl list;
    registry.RegisterControl(&list);
    DEV_BROADCAST_VOLUME record = MakeVolumeBroadcast(c.mountPoint, c.flags);
    record.dbch_devicetype = c.deviceType;
    registry.DeviceWndProc(c.msg, c.wParam, &record);
    ASSERT_EQ(list.got.size(), c.dispatched ? 1u : 0u);
    if (!c.dispatched) continue;
    EXPECT_EQ(list.got[0].caption, c.caption);
    EXPECT_EQ(list.got[0].event, c.wParam);
    EXPECT_EQ(list.got[0].kind, c.kind);
    EXPECT_TRUE(SameObject(list.got[0].list, c.hasList ? ListBytesOf(mp + "/") : std::string()));
    registry.UnregisterControl(&list);
  }
}

TEST_F(DeviceBroadcastTest, RemovalCarriesTheListTheVolumeHadWhenItArrived) {
  // Once unmounted, a mount point no longer names the volume, or is gone.
  TempDir parent;
  const std::string mp = parent / "vol";
  test::MakeDir(mp);
  const std::string arrivedList = ListBytesOf(mp + "/");
  TShellCtrlList registry;
  ListControl list;
  registry.RegisterControl(&list);
  DEV_BROADCAST_VOLUME record = MakeVolumeBroadcast(mp, DBTF_MEDIA);
  registry.DeviceWndProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, &record);
  ASSERT_EQ(::rmdir(mp.c_str()), 0);
  registry.DeviceWndProc(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, &record);
  ASSERT_EQ(list.got.size(), 2u);
  EXPECT_EQ(list.got[1].event, DBT_DEVICEREMOVECOMPLETE);
  // The very list of the arrival: a list made anew would differ, since an
  // item ID carries the stat facts of its moment.
  EXPECT_EQ(list.got[1].list, list.got[0].list);
  EXPECT_TRUE(SameObject(list.got[0].list, arrivedList));
  registry.UnregisterControl(&list);
}

TEST_F(DeviceBroadcastTest, EveryTreeGetsItsOwnCopyThroughItsWatcher) {
  TempDir volume;
  TShellCtrlList registry;
  TreeControl tree1, tree2;
  ListControl list;
  registry.RegisterControl(&tree1);
  registry.RegisterControl(&list);
  registry.RegisterControl(&tree2);
  DEV_BROADCAST_VOLUME record = MakeVolumeBroadcast(volume.path(), DBTF_MEDIA);
  registry.DeviceWndProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, &record);
  EXPECT_EQ(list.got.size(), 1u);
  ASSERT_TRUE(WaitUntil("the change to reach both trees",
                        [&] { return tree1.got.size() == 1 && tree2.got.size() == 1; }));
  EXPECT_TRUE(SameObject(tree1.got[0].list, ListBytesOf(volume.path() + "/")));
  EXPECT_EQ(tree2.got[0].list, tree1.got[0].list);
  EXPECT_NE(tree1.pointers[0], tree2.pointers[0]);
  registry.UnregisterControl(&tree1);
  registry.UnregisterControl(&list);
  registry.UnregisterControl(&tree2);
}

// --- A real volume, in a mount namespace of its own -------------------------

// The child of the mount test: only system calls between fork and _exit.
// It reports 0 or an errno value for each step as one byte.
[[noreturn]] void MountChild(int commands, int answers, const char* mountPoint) {
  auto answer = [&](int error) {
    const char byte = static_cast<char>(error);
    if (::write(answers, &byte, 1) != 1) ::_exit(1);
  };
  int error = 0;
  if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) error = errno;
  if (error == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) error = errno;
  answer(error);
  char command;
  while (::read(commands, &command, 1) == 1) {
    if (command == 'm')
      answer(::mount("tavo-test", mountPoint, "tmpfs", 0, "size=64k") == 0 ? 0 : errno);
    else if (command == 'u')
      answer(::umount2(mountPoint, 0) == 0 ? 0 : errno);
    else
      break;
  }
  ::_exit(0);
}

class MountChildProcess {
 public:
  explicit MountChildProcess(const std::string& mountPoint) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      // The child keeps only its own ends, so that it sees the end of its
      // input when the parent closes it.
      ::close(toChild[1]);
      ::close(fromChild[0]);
      MountChild(toChild[0], fromChild[1], mountPoint.c_str());
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    commands_ = toChild[1];
    answers_ = fromChild[0];
    ready_ = Answer();
  }
  ~MountChildProcess() {
    if (pid_ <= 0) return;
    ::close(commands_);  // the child ends at the end of its input
    ::close(answers_);
    int status;
    ::waitpid(pid_, &status, 0);
  }
  pid_t pid() const { return pid_; }
  int ready() const { return ready_; }  // 0 or why there is no private namespace
  int Do(char command) {
    if (::write(commands_, &command, 1) != 1) return EPIPE;
    return Answer();
  }

 private:
  int Answer() {
    char byte;
    return ::read(answers_, &byte, 1) == 1 ? static_cast<unsigned char>(byte) : EPIPE;
  }
  pid_t pid_ = -1;
  int commands_ = -1, answers_ = -1;
  int ready_ = ENOSYS;
};

TEST_F(DeviceBroadcastTest, TmpfsMountedAndUnmountedReachesTheTree) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);  // reachable from a user namespace, too
  const std::string mp = dir / "vol";
  test::MakeDir(mp);
  MountChildProcess child(mp);
  if (child.ready() != 0)
    GTEST_SKIP() << "no private mount namespace on this machine: " << std::strerror(child.ready());

  MountMonitorOptions options;
  options.mountInfoPath = "/proc/" + std::to_string(child.pid()) + "/mountinfo";
  options.extraRemovablePrefixes = {dir.path()};
  TShellCtrlList registry(options);
  TreeControl tree;
  registry.RegisterControl(&tree);
  ASSERT_TRUE(registry.Listening());

  if (const int error = child.Do('m'); error != 0) {
    registry.UnregisterControl(&tree);
    GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(error);
  }
  ASSERT_TRUE(WaitUntil("the arrival to reach the tree", [&] { return tree.got.size() == 1; }));
  // The volume is mounted in the child's namespace only: here its mount
  // point is a plain folder, named by its path.
  EXPECT_EQ(tree.got[0].caption, mp);
  EXPECT_EQ(tree.got[0].event, DBT_DEVICEARRIVAL);
  EXPECT_EQ(tree.got[0].kind, kDeviceMedia);
  EXPECT_TRUE(SameObject(tree.got[0].list, ListBytesOf(mp + "/")));

  ASSERT_EQ(child.Do('u'), 0);
  ASSERT_TRUE(WaitUntil("the removal to reach the tree", [&] { return tree.got.size() == 2; }));
  EXPECT_EQ(tree.got[1].caption, mp);
  EXPECT_EQ(tree.got[1].event, DBT_DEVICEREMOVECOMPLETE);
  EXPECT_EQ(tree.got[1].list, tree.got[0].list);
  registry.UnregisterControl(&tree);
}

}  // namespace
}  // namespace tavo
