// Copies, moves and the Trash across two real volumes: the test's scratch
// folder and small tmpfs volumes mounted inside it. The program enters a
// private mount namespace of its own before anything else (as root, or as
// root of a user namespace of its own), so its mounts are seen by no other
// process and vanish with it; where no such namespace can be made, every
// case is skipped and says why. Drops go through the file-system drop
// target as the controls pass them on, with the Qt answers installed: the
// work runs on a worker thread and what is left undone is told in a
// (scripted) message box.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellDragQt.h"
#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellDropTarget.h"
#include "platform/shell/ShellTrash.h"
#include "platform/ui/Application.h"
#include "platform/ui/Modal.h"
#include "tests/folderbrowse/ShellTestFolder.h"

namespace {

// Why no volume can be mounted here; empty when one can.
std::string g_noVolumes;

void WriteProcFile(const char* path, const std::string& text) {
  std::ofstream out(path);
  out << text;
}

// Enters a mount namespace of this process's own, whose mounts propagate
// nowhere. Before any thread starts: a process with threads cannot.
void EnterPrivateMountNamespace() {
  if (::unshare(CLONE_NEWNS) != 0) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
      g_noVolumes = std::string("no private mount namespace: ") + std::strerror(errno);
      return;
    }
    WriteProcFile("/proc/self/setgroups", "deny");
    WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    g_noVolumes = std::string("the mount namespace stays shared: ") + std::strerror(errno);
    return;
  }
  // A namespace may still refuse mounts (a container's policy).
  const char* tmp = std::getenv("TMPDIR");
  std::string probe = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-mount-XXXXXX";
  if (::mkdtemp(probe.data()) == nullptr) {
    g_noVolumes = std::string("no folder to try a mount in: ") + std::strerror(errno);
    return;
  }
  if (::mount("tavo-test", probe.c_str(), "tmpfs", 0, "size=64k") != 0)
    g_noVolumes = std::string("no tmpfs can be mounted: ") + std::strerror(errno);
  else
    ::umount2(probe.c_str(), MNT_DETACH);
  ::rmdir(probe.c_str());
}

}  // namespace

namespace tavo::test {
namespace {

constexpr std::uint32_t kCopyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

class TwoVolumes : public ShellTest {
 protected:
  void SetUp() override {
    if (!g_noVolumes.empty()) GTEST_SKIP() << g_noVolumes;
    ShellTest::SetUp();
    InstallShellQtServices();
    ui::ClearModalHistory();
    MakeDir(Home() + "/src");
    MakeFile(Home() + "/src/doc.rut", "doc");
    MakeDir(Home() + "/src/folder/inner");
    MakeFile(Home() + "/src/folder/inner/a.rut", std::string(5000, 'a'));
    ASSERT_EQ(::chmod((Home() + "/src/doc.rut").c_str(), 0604), 0);
    SetTimes(Home() + "/src/doc.rut", 1100000000, 123456789);
    SetTimes(Home() + "/src/folder/inner/a.rut", 1100000001, 1);
    SetTimes(Home() + "/src/folder/inner", 1100000002, 2);
    SetTimes(Home() + "/src/folder", 1100000003, 3);
  }
  void TearDown() override {
    if (!g_noVolumes.empty()) return;
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
      EXPECT_EQ(::umount2(it->c_str(), MNT_DETACH), 0) << *it;
    ShellTest::TearDown();
  }
  // Mounts a tmpfs at `path` (made first) with `options`.
  ::testing::AssertionResult Mount(const std::string& path, const std::string& options) {
    MakeDir(path);
    if (::mount("tavo-test", path.c_str(), "tmpfs", 0, options.c_str()) != 0)
      return ::testing::AssertionFailure() << "cannot mount a tmpfs at " << path << ": " << std::strerror(errno);
    mounts_.push_back(path);
    return ::testing::AssertionSuccess();
  }
  static ShellDataObject DataOf(const std::vector<std::string>& paths) {
    ShellDataObject data;
    data.SetData(kUriListFormat, UriListOf(paths));
    return data;
  }
  // The effect that the folder's drop target offers a hover with `keys`,
  // or with `drop` the effect of a drop there.
  static std::uint32_t Offer(const std::string& folder, const ShellDataObject& data, std::uint32_t keys,
                             bool drop) {
    auto target = FileSystemDropTarget(folder);
    std::uint32_t effect = kCopyMove;
    target->DragEnter(data, keys | MK_LBUTTON, {}, effect);
    effect = kCopyMove;
    target->DragOver(keys | MK_LBUTTON, {}, effect);
    if (!drop) {
      target->DragLeave();
      return effect;
    }
    effect = kCopyMove;
    target->Drop(data, keys, {}, effect);
    return effect;
  }
  static std::uint32_t Hover(const std::string& folder, const ShellDataObject& data, std::uint32_t keys) {
    return Offer(folder, data, keys, false);
  }
  static std::uint32_t Drop(const std::string& folder, const ShellDataObject& data, std::uint32_t keys) {
    return Offer(folder, data, keys, true);
  }
  // The texts of the message boxes shown so far.
  static std::vector<QString> Messages() {
    std::vector<QString> texts;
    for (const ui::ModalCall& call : ui::ModalHistory())
      if (call.kind == ui::ModalCall::Message) texts.push_back(call.text);
    return texts;
  }

  std::vector<std::string> mounts_;
};

TEST_F(TwoVolumes, ACopyOrAShiftMoveToAnotherVolumeKeepsTimesAndBitsAndALinkThereTakesACopy) {
  const std::string vol = Root() + "/vol";
  ASSERT_TRUE(Mount(vol, "size=4m"));
  const std::string doc = Home() + "/src/doc.rut", folder = Home() + "/src/folder";

  // Across volumes a plain drop copies, Shift moves.
  const ShellDataObject data = DataOf({doc, folder});
  EXPECT_EQ(Hover(vol, data, 0), DROPEFFECT_COPY);
  EXPECT_EQ(Hover(vol, data, MK_SHIFT), DROPEFFECT_MOVE);
  MakeDir(Home() + "/kept");
  ASSERT_EQ(Drop(Home() + "/kept", DataOf({doc, folder}), MK_CONTROL), DROPEFFECT_COPY);  // for comparison
  ASSERT_EQ(Drop(vol, data, MK_SHIFT), DROPEFFECT_MOVE);
  EXPECT_FALSE(Exists(doc));
  EXPECT_FALSE(Exists(folder));
  ExpectSameTree(Home() + "/kept/doc.rut", vol + "/doc.rut");
  ExpectSameTree(Home() + "/kept/folder", vol + "/folder");
  EXPECT_EQ(Read(vol + "/doc.rut"), "doc");
  EXPECT_EQ(Entries(vol), (std::vector<std::string>{"doc.rut", "folder"}));  // no temporary left

  // A plain drop back copies, and keeps them too.
  ASSERT_EQ(Drop(Home() + "/src", DataOf({vol + "/doc.rut", vol + "/folder"}), 0), DROPEFFECT_COPY);
  ExpectSameTree(Home() + "/kept/doc.rut", Home() + "/src/doc.rut");
  ExpectSameTree(Home() + "/kept/folder", Home() + "/src/folder");
  EXPECT_TRUE(Exists(vol + "/doc.rut"));

  // A link on this volume that leads to a folder on the other: the volume
  // is that of the folder, so a plain drop copies and the source stays.
  MakeDir(vol + "/there");
  ASSERT_EQ(::symlink((vol + "/there").c_str(), (Home() + "/link").c_str()), 0);
  EXPECT_EQ(Hover(Home() + "/link", DataOf({doc}), 0), DROPEFFECT_COPY);
  ASSERT_EQ(Drop(Home() + "/link", DataOf({doc}), 0), DROPEFFECT_COPY);
  EXPECT_EQ(Read(doc), "doc");
  ExpectSameTree(doc, vol + "/there/doc.rut");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(TwoVolumes, AMoveThatFailsOrIsCancelledPartWayLeavesTheSourceWholeAndNothingInTheTarget) {
  // Pages are the tmpfs's unit: 64 files of one byte need more than 128k.
  const std::string vol = Root() + "/vol";
  ASSERT_TRUE(Mount(vol, "size=128k"));
  const std::string many = Home() + "/many";
  MakeDir(many);
  for (int i = 0; i < 64; ++i) MakeFile(many + "/f" + std::to_string(i) + ".rut", "x");
  ASSERT_EQ(Drop(vol, DataOf({many}), MK_SHIFT), DROPEFFECT_NONE);
  EXPECT_EQ(Entries(many).size(), 64u);
  EXPECT_EQ(Read(many + "/f63.rut"), "x");
  EXPECT_TRUE(Entries(vol).empty());
  // A full disk is told as one.
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].indexOf(QStringLiteral("ディスクに空きがありません。")), -1) << Messages()[0].toStdString();
  EXPECT_NE(Messages()[0].indexOf(QString::fromStdString(many)), -1);

  // More than the volume holds is refused before anything is copied.
  MakeFile(Home() + "/big.rut", std::string(1 << 20, 'b'));
  EXPECT_EQ(CopyOrMoveInto({Home() + "/big.rut"}, vol, true)[0].error, ENOSPC);

  // A cancel after the first block of a move across volumes.
  const std::string two = Root() + "/two";
  ASSERT_TRUE(Mount(two, "size=8m"));
  const std::string data(3 << 20, 'c');
  MakeFile(Home() + "/large.rut", data);
  FileOpProgress progress;
  progress.OnStep = [](FileOpProgress& p) {
    if (p.DoneBytes() > 0) p.Cancel();
  };
  const std::string doc = Home() + "/src/doc.rut";
  const auto items = CopyOrMoveInto({Home() + "/large.rut", doc}, two, true, &progress);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::Cancelled);
  EXPECT_EQ(items[1].outcome, FileOpOutcome::Cancelled);
  EXPECT_EQ(Read(Home() + "/large.rut"), data);
  EXPECT_TRUE(Exists(doc));
  EXPECT_TRUE(Entries(two).empty());
}

TEST_F(TwoVolumes, TheTrashOfAVolumeWithoutItsOwnTakesACopyOrNothingAndAMountPointStays) {
  const std::string vol = Root() + "/vol";
  ASSERT_TRUE(Mount(vol, "size=4m"));
  MakeDir(vol + "/gone/deep");
  MakeFile(vol + "/gone/deep/a.rut", "a");
  // A volume whose own Trash can be made gets it, with a path relative to
  // the volume's top.
  ASSERT_EQ(MoveToTrash(vol + "/gone").outcome, FileOpOutcome::Done);
  EXPECT_EQ(Read(vol + "/.Trash-" + std::to_string(::getuid()) + "/files/gone/deep/a.rut"), "a");
  EXPECT_NE(Read(vol + "/.Trash-" + std::to_string(::getuid()) + "/info/gone.trashinfo").find("\nPath=gone\n"),
            std::string::npos);

  // Where none can be made, the home's Trash takes a copy; when that fails
  // part-way (the home's volume full), the source stays whole and the
  // Trash holds neither a file nor an info.
  const std::string other = Root() + "/other";
  ASSERT_TRUE(Mount(other, "size=4m"));
  MakeFile(other + "/.Trash-" + std::to_string(::getuid()), "no trash here");
  const std::string many = other + "/many";
  MakeDir(many);
  for (int i = 0; i < 64; ++i) MakeFile(many + "/f" + std::to_string(i) + ".rut", "x");
  ASSERT_TRUE(Mount(Home() + "/.local/share", "size=128k"));
  const FileOpItem failed = MoveToTrash(many);
  EXPECT_EQ(failed.outcome, FileOpOutcome::Failed);
  EXPECT_EQ(failed.error, ENOSPC);
  EXPECT_EQ(Entries(many).size(), 64u);
  const std::string trash = Home() + "/.local/share/Trash";
  EXPECT_TRUE(Entries(trash + "/files").empty());
  EXPECT_TRUE(Entries(trash + "/info").empty());
  MakeFile(other + "/one.rut", "1");
  ASSERT_EQ(MoveToTrash(other + "/one.rut").outcome, FileOpOutcome::Done);
  EXPECT_FALSE(Exists(other + "/one.rut"));
  EXPECT_EQ(Read(trash + "/files/one.rut"), "1");
  EXPECT_NE(Read(trash + "/info/one.rut.trashinfo").find("\nPath=" + other + "/one.rut\n"), std::string::npos);

  // A mount point, or a folder that holds one, is refused and stays.
  EXPECT_EQ(MoveToTrash(other).outcome, FileOpOutcome::MountPoint);
  EXPECT_EQ(MoveToTrash(Root()).outcome, FileOpOutcome::MountPoint);
  EXPECT_TRUE(Exists(other + "/many/f0.rut"));
  EXPECT_EQ(CopyOrMoveInto({other}, Home(), true)[0].outcome, FileOpOutcome::MountPoint);
}

}  // namespace
}  // namespace tavo::test

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  bool listing = false;
  for (int i = 1; i < argc; ++i) listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
  if (!listing) EnterPrivateMountNamespace();
  tavo::ui::TApplication app(argc, argv);
  tavo::ui::SetModalScripting(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
