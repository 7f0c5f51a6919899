// Comparison codes and the order of a folder's children; the same object
// reached through a volume's parent volume.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellFileInfo.h"
#include "platform/shell/ShellSortKeys.h"
#include "platform/shell/ShellVolumes.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

class ShellCompare : public ShellTest {
 protected:
  // The children of a folder, sorted by the folder's CompareIDs on `column`;
  // the sort on keys built once must give the same order, and its reverse
  // when descending.
  std::vector<std::string> Sorted(const std::string& cp932Folder, int column) {
    Pidl list(ListOf(cp932Folder));
    ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(list);
    std::vector<PItemIDList> items;
    auto e = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
    for (PItemIDList item = nullptr; e->Next(item, nullptr);) items.push_back(item);
    std::vector<IDListSpan> spans;
    for (PItemIDList item : items) spans.push_back(SpanOf(item));
    std::sort(items.begin(), items.end(),
              [&](PItemIDList a, PItemIDList b) { return folder->CompareIDs(column, a, b).value_or(0) < 0; });
    std::vector<std::string> names, byKeys, descending;
    for (const std::size_t i : ShellSortOrder(*folder, column, spans, false)) byKeys.emplace_back(FsNameOf(spans[i].p));
    for (const std::size_t i : ShellSortOrder(*folder, column, spans, true)) descending.emplace_back(FsNameOf(spans[i].p));
    for (PItemIDList& item : items) {
      names.push_back(std::string(FsNameOf(item)));
      FreePIDL(item);
    }
    EXPECT_EQ(byKeys, names) << "column " << column;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, names) << "column " << column;
    return names;
  }
};

TEST_F(ShellCompare, CodesOfComparePIDL) {
  MakeDir(Os("d/folder"));
  MakeFile(Os("d/file"));
  MakeFile(Os("d/a"));
  MakeFile(Os("d/A"));
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  Pidl folder(ListOf(Cp("d/folder"))), file(ListOf(Cp("d/file"))), a(ListOf(Cp("d/a"))), A(ListOf(Cp("d/A")));
  Pidl again(ListOf(Cp("d/file")));

  EXPECT_EQ(ComparePIDL(nullptr, file, file), 3);
  EXPECT_EQ(ComparePIDL(desktop, nullptr, file), 3);
  EXPECT_EQ(ComparePIDL(desktop, file, nullptr), 3);
  EXPECT_EQ(ComparePIDL(desktop, file, again), 0);  // two lists of one object
  EXPECT_EQ(ComparePIDL(desktop, folder, file), 2);  // folders first
  EXPECT_EQ(ComparePIDL(desktop, file, folder), 1);
  // Names that differ only in case are two objects, in a fixed order.
  EXPECT_EQ(ComparePIDL(desktop, A, a), 2);
  EXPECT_EQ(ComparePIDL(desktop, a, A), 1);
  // An ancestor sorts before what lies below it.
  Pidl d(ListOf(Cp("d")));
  EXPECT_EQ(ComparePIDL(desktop, d, file), 2);
  EXPECT_EQ(ComparePIDL(desktop, file, d), 1);

  // Within the folder itself, on relative lists.
  ShellFolderPtr inD = desktop->BindToObject(d);
  ASSERT_TRUE(inD);
  Pidl ra(LastItemID(a)), rA(LastItemID(A)), rfile(LastItemID(file));
  EXPECT_EQ(ComparePIDL(inD, rA, ra), 2);
  EXPECT_EQ(ComparePIDL(inD, rfile, rfile), 0);
  // A foreign tag cannot be compared.
  Pidl volume(MakeItemID(ItemTag::Volume, "/"));
  EXPECT_EQ(ComparePIDL(inD, rfile, volume), 3);
}

TEST_F(ShellCompare, OrderOfAFolder) {
  MakeDir(Os("d/zeta"));
  MakeDir(Os("d/Alpha"));
  MakeFile(Os("d/b"), "12345");
  MakeFile(Os("d/B"), "1");
  MakeFile(Os("d/a.txt"), "123");
  MakeFile(Os("d/.dot"), "12");
  MakeFile(Os("d/あ.RUT"), "");
  // Folders first; letters folded, then upper before lower; other bytes after.
  EXPECT_EQ(Sorted(Cp("d"), 0),
            (std::vector<std::string>{"Alpha", "zeta", ".dot", "a.txt", "B", "b", "あ.RUT"}));
  // By size, then by name.
  EXPECT_EQ(Sorted(Cp("d"), 1),
            (std::vector<std::string>{"Alpha", "zeta", "あ.RUT", "B", ".dot", "a.txt", "b"}));
  // By extension, folded, then by name.
  EXPECT_EQ(Sorted(Cp("d"), 2),
            (std::vector<std::string>{"Alpha", "zeta", ".dot", "B", "b", "あ.RUT", "a.txt"}));
  // By modification time.
  const char* order[] = {"b", "あ.RUT", "a.txt", ".dot", "B", "zeta", "Alpha"};
  for (int i = 0; i < 7; ++i) {
    const struct timespec t[2] = {{1000000000 + i * 60, 0}, {1000000000 + i * 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, Os(std::string("d/") + order[i]).c_str(), t, 0), 0);
  }
  EXPECT_EQ(Sorted(Cp("d"), 3),
            (std::vector<std::string>{"zeta", "Alpha", "b", "あ.RUT", "a.txt", ".dot", "B"}));
  // By attribute letters: "A" before "HA" before "RA".
  ASSERT_EQ(::chmod(Os("d/b").c_str(), 0444), 0);
  EXPECT_EQ(Sorted(Cp("d"), 4),
            (std::vector<std::string>{"Alpha", "zeta", "a.txt", "B", "あ.RUT", ".dot", "b"}));
}

TEST_F(ShellCompare, TheDesktopOrdersItsVirtualFoldersFirst) {
  MakeDir(Home() + "/Desktop");
  MakeFile(Home() + "/Desktop/!first");
  std::vector<std::string> names;
  auto e = ShellGetDesktopFolder()->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
  std::vector<PItemIDList> items;
  for (PItemIDList item = nullptr; e->Next(item, nullptr);) items.push_back(item);
  ASSERT_EQ(items.size(), 4u);
  std::reverse(items.begin(), items.end());
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  std::vector<IDListSpan> spans;
  for (PItemIDList item : items) spans.push_back(SpanOf(item));
  const std::vector<std::size_t> byKeys = ShellSortOrder(*ShellGetDesktopFolder(), 0, spans, false);
  std::sort(items.begin(), items.end(), [&](PItemIDList a, PItemIDList b) { return ComparePIDL(desktop, a, b) == 2; });
  const ItemTag tags[] = {ItemTag::Computer, ItemTag::Network, ItemTag::RecycleBin, ItemTag::FsFile};
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(TagOf(items[i]), tags[i]);
    EXPECT_EQ(TagOf(spans[byKeys[i]].p), tags[i]);
  }
  for (PItemIDList& item : items) FreePIDL(item);
}

// Runs in a child process with a mount namespace of its own: tmpfs mounts on
// /media and /media/usb (seen by nobody else). 0 passed, 77 not allowed here,
// else failed (the reason on stderr).
int NestedMountChild() {
  if (::unshare(CLONE_NEWNS) != 0) return 77;
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 77;
  if (::mount("tavo-media", "/media", "tmpfs", 0, "size=1m") != 0) return 77;
  ::mkdir("/media/usb", 0755);
  if (::mount("tavo-usb", "/media/usb", "tmpfs", 0, "size=1m") != 0) return 77;
  ::mkdir("/media/usb/dir", 0755);
  if (FILE* f = std::fopen("/media/usb/dir/f.rut", "w")) std::fclose(f);

  auto fail = [](const char* why) {
    std::fprintf(stderr, "%s\n", why);
    return 1;
  };
  const auto volumes = ShellVolumes();
  const ShellVolume* usb = VolumeAt(volumes, "/media/usb");
  if (usb == nullptr || usb->kind != VolumeKind::Removable) return fail("/media/usb is no removable volume");
  PItemIDList deep = nullptr, media = nullptr, viaMedia = nullptr, rest = nullptr;
  if (!PathToPIDL("/media/usb/dir/f.rut", deep)) return fail("the file does not parse");
  if (ItemIDCount(deep) != 4) return fail("the file's list does not start at its own volume");
  if (!PathToPIDL("/media", media)) return fail("/media does not parse");
  ShellFolderPtr mediaFolder = ShellGetDesktopFolder()->BindToObject(media);
  if (!mediaFolder || !mediaFolder->ParseDisplayName("usb/dir/f.rut", rest)) return fail("no walk from /media");
  viaMedia = ConcatPIDL(media, rest);
  int code = 0;
  std::string p1, p2;
  if (ComparePIDL(ShellGetDesktopFolder(), deep, viaMedia) != 0) code = fail("two lists of one file differ");
  if (!PIDLToPath(deep, p1) || !PIDLToPath(viaMedia, p2) || p1 != p2 || p1 != "/media/usb/dir/f.rut")
    code = fail("paths differ");
  PItemIDList volume = ParentPIDL(deep);
  PItemIDList volumeList = ParentPIDL(volume);
  FreePIDL(volume);
  if (ShellIconIndexOf(volumeList, false) != kIconRemovableVolume) code = fail("no removable-volume icon");
  std::uint32_t attrs = SFGAO_REMOVABLE | SFGAO_FILESYSANCESTOR;
  PCItemIDList v = volumeList;
  if (!ShellGetDesktopFolder()->GetAttributesOf({&v, 1}, attrs) ||
      attrs != (SFGAO_REMOVABLE | SFGAO_FILESYSANCESTOR))
    code = fail("the volume's attributes");
  FreePIDL(volumeList);
  for (PItemIDList* l : {&deep, &media, &viaMedia, &rest}) FreePIDL(*l);
  return code;
}

TEST_F(ShellCompare, AFileOnANestedMountIsOneObjectHoweverReached) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ::_exit(NestedMountChild());
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "this machine does not allow a private mount namespace";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace tavo::test
