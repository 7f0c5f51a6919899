// What drops, pastes and deletes do on disk: copying and moving without
// ever replacing, folders refused into themselves, copies that keep times
// and bits and leave nothing half-made behind (not even when the process is
// killed), the data of a drag and its paths, and the freedesktop Trash
// under the test's own home. (Across volumes: TwoVolumesTest.cpp.)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/shell/CopyJournal.h"
#include "platform/shell/ShellDataObject.h"
#include "platform/shell/ShellFileOperation.h"
#include "platform/shell/ShellTrash.h"
#include "tests/folderbrowse/ShellTestFolder.h"

namespace tavo::test {
namespace {

using ShellFileOps = ShellTest;

TEST_F(ShellFileOps, CopyAndMoveNeverReplaceAndNeverPutAFolderIntoItself) {
  MakeFile(Os("a.rut"), "new");
  MakeFile(Os("taken.rut"), "mine");
  MakeDir(Os("dst"));
  MakeFile(Os("dst/taken.rut"), "theirs");
  MakeDir(Os("tree/sub/deeper"));
  MakeFile(Os("tree/sub/x.rut"), "x");

  auto items = CopyOrMoveInto({Os("a.rut"), Os("taken.rut"), Os("tree")}, Os("dst"), false);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::Done);
  EXPECT_EQ(items[1].outcome, FileOpOutcome::NameTaken);
  EXPECT_EQ(items[2].outcome, FileOpOutcome::Done);
  EXPECT_EQ(Read(Os("dst/a.rut")), "new");
  EXPECT_EQ(Read(Os("a.rut")), "new");  // a copy leaves the original
  EXPECT_EQ(Read(Os("dst/taken.rut")), "theirs");
  EXPECT_EQ(Read(Os("dst/tree/sub/x.rut")), "x");
  // No staging folder is left behind.
  EXPECT_EQ(Entries(Os("dst")), (std::vector<std::string>{"a.rut", "taken.rut", "tree"}));

  // A folder into itself or below itself is refused, and nothing moves.
  items = CopyOrMoveInto({Os("tree")}, Os("tree/sub/deeper"), true);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::IntoItself);
  items = CopyOrMoveInto({Os("tree")}, Os("tree"), false);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::IntoItself);
  EXPECT_TRUE(std::filesystem::exists(Os("tree/sub/x.rut")));
  EXPECT_FALSE(std::filesystem::exists(Os("tree/sub/deeper/tree")));

  // A move takes the original away; into its own folder it does nothing.
  items = CopyOrMoveInto({Os("taken.rut"), Os("tree/sub/x.rut")}, Os("tree/sub/deeper"), true);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::Done);
  EXPECT_EQ(items[1].outcome, FileOpOutcome::Done);
  EXPECT_FALSE(std::filesystem::exists(Os("taken.rut")));
  EXPECT_EQ(Read(Os("tree/sub/deeper/taken.rut")), "mine");
  items = CopyOrMoveInto({Os("tree/sub/deeper/taken.rut")}, Os("tree/sub/deeper"), true);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::SamePlace);

  // Cancelled before it starts, nothing is done.
  FileOpProgress cancelled;
  cancelled.Cancel();
  items = CopyOrMoveInto({Os("a.rut")}, Os("tree"), true, &cancelled);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::Cancelled);
  EXPECT_TRUE(std::filesystem::exists(Os("a.rut")));
}

TEST_F(ShellFileOps, ACopyKeepsTimesAndPermissionBitsOfEveryEntry) {
  MakeDir(Os("src/ro"));
  MakeFile(Os("src/a.rut"), "a");
  MakeFile(Os("src/ro/b.rut"), "b");
  ASSERT_EQ(::symlink("a.rut", Os("src/link").c_str()), 0);
  ASSERT_EQ(::chmod(Os("src/a.rut").c_str(), 0640), 0);
  ASSERT_EQ(::chmod(Os("src").c_str(), 0750), 0);
  SetTimes(Os("src/a.rut"), 1000000001, 111);
  SetTimes(Os("src/ro/b.rut"), 1000000002, 222);
  SetTimes(Os("src/link"), 1000000003, 333);
  ASSERT_EQ(::chmod(Os("src/ro").c_str(), 0555), 0);
  SetTimes(Os("src/ro"), 1000000004, 444);
  SetTimes(Os("src"), 1000000005, 555);
  MakeDir(Os("dst"));
  const auto items = CopyOrMoveInto({Os("src")}, Os("dst"), false);
  ASSERT_EQ(items[0].outcome, FileOpOutcome::Done) << items[0].error;
  ExpectSameTree(Os("src"), Os("dst/src"));
  EXPECT_EQ(Entries(Os("dst")), std::vector<std::string>{"src"});
}

TEST_F(ShellFileOps, ACancelledOrKilledCopyLeavesNothingBehindOnceTheProgramStartsAgain) {
  const std::string data(3 << 20, 'x');
  MakeFile(Os("big.rut"), data);
  MakeDir(Os("dst"));
  FileOpProgress progress;
  progress.OnStep = [](FileOpProgress& p) {
    if (p.DoneBytes() > 0) p.Cancel();
  };
  auto items = CopyOrMoveInto({Os("big.rut")}, Os("dst"), false, &progress);
  EXPECT_EQ(items[0].outcome, FileOpOutcome::Cancelled);
  EXPECT_EQ(progress.TotalBytes(), data.size());
  EXPECT_LT(progress.DoneBytes(), data.size());
  EXPECT_TRUE(Entries(Os("dst")).empty());
  EXPECT_EQ(Read(Os("big.rut")), data);

  // Killed after its first block, a copy leaves its temporary folder, and
  // the journal says whose it is.
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    FileOpProgress dying;
    dying.OnStep = [](FileOpProgress& p) {
      if (p.DoneBytes() > 0) ::raise(SIGKILL);
    };
    CopyOrMoveInto({Os("big.rut")}, Os("dst"), false, &dying);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status));
  const std::vector<std::string> left = Entries(Os("dst"));
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].rfind(kCopyTemporaryPrefix, 0), 0u) << left[0];
  ASSERT_EQ(Entries(CopyJournalFolder()).size(), 1u);

  // The next start removes it, but not the temporary of a copy at work.
  {
    CopyJournalRecord working(Os("dst/.tavo-copy-working"));
    MakeDir(Os("dst/.tavo-copy-working"));
    RemoveStrandedCopies();
    EXPECT_EQ(Entries(Os("dst")), std::vector<std::string>{".tavo-copy-working"});
    EXPECT_EQ(Entries(CopyJournalFolder()).size(), 1u);
  }
  EXPECT_TRUE(Entries(CopyJournalFolder()).empty());
  EXPECT_EQ(Read(Os("big.rut")), data);
}

TEST_F(ShellFileOps, TheDataOfADragNamesItsObjectsByListAndByUri) {
  const std::string name = "\xE7\x82\xB9\xE5\xAD\x97 100%.rut";  // 点字 100%.rut
  MakeDir(Os("f"));
  MakeFile(Os("f/" + name));
  Pidl parent(ListOf(Cp("f")));
  Pidl full(ListOf(Cp("f/\xE7\x82\xB9\xE5\xAD\x97 100%.rut")));
  PCItemIDList item = full.get() + (ValidIDListSize(parent) - 2);
  const ShellDataObject data = MakeShellDataObject(parent, {&item, 1});
  ASSERT_TRUE(data.HasFormat(kShellIDListFormat));
  ASSERT_TRUE(data.HasFormat(kUriListFormat));
  EXPECT_EQ(*data.Data(kUriListFormat), "file://" + Os("f/") + "%E7%82%B9%E5%AD%97%20100%25.rut\r\n");
  EXPECT_EQ(DataObjectOsPaths(data), std::vector<std::string>{Os("f/" + name)});

  // Only a uri-list (another program's drag): local files only.
  ShellDataObject outside;
  outside.SetData(kUriListFormat, "# a comment\r\nfile:///tmp/a%20b\r\nhttp://host/x\r\nfile://other/y\r\n"
                                  "file://localhost/z\nfile:///bad%2\n");
  EXPECT_EQ(DataObjectOsPaths(outside), (std::vector<std::string>{"/tmp/a b", "/z"}));

  // A list array whose bytes are cut or whose offsets point outside is
  // not walked.
  const std::string bytes = *data.Data(kShellIDListFormat);
  UniquePIDL p;
  std::vector<UniquePIDL> items;
  EXPECT_TRUE(ParseShellIDListArray(bytes, p, items));
  EXPECT_FALSE(ParseShellIDListArray(bytes.substr(0, bytes.size() - 3), p, items));
  std::string wild = bytes;
  wild[11] = '\x7F';
  EXPECT_FALSE(ParseShellIDListArray(wild, p, items));
  EXPECT_FALSE(ParseShellIDListArray(std::string("\xFF\xFF\xFF\x0F", 4) + bytes.substr(4), p, items));
}

TEST_F(ShellFileOps, DeletingMovesToTheTrashWithItsInfoAndAUniqueName) {
  MakeFile(Home() + "/doc.rut", "one");
  MakeDir(Home() + "/other");
  MakeFile(Home() + "/other/doc.rut", "two");
  MakeDir(Home() + "/a folder");
  for (const std::string& path : {Home() + "/doc.rut", Home() + "/other/doc.rut", Home() + "/a folder"}) {
    const FileOpItem moved = MoveToTrash(path);
    ASSERT_EQ(moved.outcome, FileOpOutcome::Done) << path << ": " << moved.error;
  }
  const std::string trash = Home() + "/.local/share/Trash";
  EXPECT_EQ(Entries(trash + "/files"), (std::vector<std::string>{"a folder", "doc.2.rut", "doc.rut"}));
  EXPECT_EQ(Entries(trash + "/info"),
            (std::vector<std::string>{"a folder.trashinfo", "doc.2.rut.trashinfo", "doc.rut.trashinfo"}));
  EXPECT_EQ(Read(trash + "/files/doc.2.rut"), "two");
  const std::string info = Read(trash + "/info/doc.2.rut.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + Home() + "/other/doc.rut\nDeletionDate=", 0), 0u) << info;
  EXPECT_NE(Read(trash + "/info/a folder.trashinfo").find("Path=" + Home() + "/a%20folder\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Home() + "/doc.rut"));
  struct stat st {};
  ASSERT_EQ(::stat((trash + "/files").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // The Trash itself, and what is gone, stay where they are.
  EXPECT_EQ(MoveToTrash(trash).outcome, FileOpOutcome::Failed);
  const FileOpItem missing = MoveToTrash(Home() + "/missing");
  EXPECT_EQ(missing.outcome, FileOpOutcome::Failed);
  EXPECT_EQ(missing.error, ENOENT);
}

}  // namespace
}  // namespace tavo::test
