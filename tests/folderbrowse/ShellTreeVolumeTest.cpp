// A removable volume mounted, unmounted and mounted again, as the folder
// tree and a folder watcher see it. The volume is a tmpfs in a mount
// namespace of the test's own, over a tmpfs on /media, so nothing outside
// the test sees it; the test is skipped where the machine allows no such
// namespace.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "folderbrowse/ZuShellFolderTree.h"
#include "platform/ui/Application.h"
#include "tests/folderbrowse/WatchTestSupport.h"

namespace {

constexpr int kSkip = 77;

#define SCENARIO_CHECK(condition)                                              \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
      return 1;                                                                \
    }                                                                          \
  } while (0)

tavo::TShellFolderNode* VolumeNode(tavo::TShellFolderNode* computer, const std::string& mountPoint) {
  for (int i = 0; i < computer->Count(); ++i)
    if (computer->Child(i)->Item()->GetPath() == mountPoint) return computer->Child(i);
  return nullptr;
}

int Scenario(int argc, char** argv) {
  const std::string vol = "/media/tavo-test-volume";
  tavo::ui::TApplication app(argc, argv);
  tavo::TShellFolderTree tree({60, 40});
  int changes = 0;
  tree.OnChange = [&] { ++changes; };
  tree.BuildRoot();
  tavo::TShellFolderNode* computer = tree.Root()->Child(0);
  SCENARIO_CHECK(computer->Expanded);
  SCENARIO_CHECK(::mkdir(vol.c_str(), 0755) == 0);

  auto mountVolume = [&] { return ::mount("tavo-test", vol.c_str(), "tmpfs", 0, "size=64k") == 0; };
  SCENARIO_CHECK(mountVolume());
  SCENARIO_CHECK(tavo::test::WaitUntil("the volume node", [&] { return VolumeNode(computer, vol) != nullptr; }));
  tavo::TShellFolderNode* node = VolumeNode(computer, vol);
  SCENARIO_CHECK(node->Text == vol);  // no label: the mount point, as in the drive report
  tree.Select(node);

  // The removable volume is no fixed drive, but its open folders are
  // watched as those of the fixed drives are.
  SCENARIO_CHECK(::mkdir((vol + "/sub").c_str(), 0755) == 0);
  SCENARIO_CHECK(tree.Expand(node));
  const std::vector<std::string>& fixed = tree.FixedDrives();
  SCENARIO_CHECK(std::find(fixed.begin(), fixed.end(), "/") != fixed.end());
  for (const std::string& drive : fixed) SCENARIO_CHECK(drive.rfind("/media", 0) != 0);
  const std::vector<std::string> watched = tree.WatchedFolders();
  SCENARIO_CHECK(std::find(watched.begin(), watched.end(), vol) != watched.end());
  SCENARIO_CHECK(::rmdir((vol + "/sub").c_str()) == 0);

  std::vector<std::string> reports;
  auto* watcher = new tavo::TShFilesWatcher(
      vol, tavo::FILE_NOTIFY_CHANGE_FILE_NAME,
      [&](tavo::TShFilesWatcher*, const std::string& path) { reports.push_back(path); }, {60});
  auto changeUntilReported = [&](const std::string& name) {
    reports.clear();
    for (int i = 0; i < 30; ++i) {
      tavo::test::MakeFile(vol + "/" + name + std::to_string(i));
      if (tavo::test::WaitUntil("a report of the probe file", [&] { return !reports.empty(); }, std::chrono::milliseconds(300))) return true;
    }
    return false;
  };
  SCENARIO_CHECK(changeUntilReported("before"));

  // Unmounted: the node goes, and the selection on it moves to My Computer.
  changes = 0;
  reports.clear();
  SCENARIO_CHECK(::umount2(vol.c_str(), 0) == 0);
  SCENARIO_CHECK(tavo::test::WaitUntil("the volume node to go", [&] { return VolumeNode(computer, vol) == nullptr; }));
  SCENARIO_CHECK(tree.Selected() == computer);
  SCENARIO_CHECK(changes == 1);
  SCENARIO_CHECK(tavo::test::WaitUntil("the report of the unmount", [&] { return !reports.empty(); }));

  // Mounted again: the node is back, and the watcher watches the new volume.
  SCENARIO_CHECK(mountVolume());
  SCENARIO_CHECK(tavo::test::WaitUntil("the volume node again", [&] { return VolumeNode(computer, vol) != nullptr; }));
  tavo::test::PumpFor(200);
  SCENARIO_CHECK(changeUntilReported("after"));
  watcher->Stop();
  SCENARIO_CHECK(::umount2(vol.c_str(), 0) == 0);
  return 0;
}

}  // namespace

// Enters a mount namespace of its own before any thread starts, puts a
// tmpfs over /media in it, and plays the scenario.
int RunMountScenario(int argc, char** argv) {
  if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
    std::fprintf(stderr, "no mount namespace: %s\n", std::strerror(errno));
    return kSkip;
  }
  struct stat st;
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || ::stat("/media", &st) != 0 ||
      ::mount("tavo-media", "/media", "tmpfs", 0, "size=64k") != 0) {
    std::fprintf(stderr, "cannot mount here: %s\n", std::strerror(errno));
    return kSkip;
  }
  return Scenario(argc, argv);
}

namespace tavo::test {
namespace {

TEST(ShellTreeVolume, AVolumeMountedUnmountedAndMountedAgain) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    char self[] = "/proc/self/exe";
    char flag[] = "--mount-scenario";
    char arg[] = "volume";
    char* args[] = {self, flag, arg, nullptr};
    ::execv(self, args);
    ::_exit(126);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kSkip) GTEST_SKIP() << "no private mount namespace with a tmpfs on this machine";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tavo::test
