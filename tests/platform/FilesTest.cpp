#include "platform/files/Files.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <vector>

#include "tests/platform/TestFiles.h"
#include "tests/support/TestText.h"

namespace tavo {
namespace {

using test::Entries;
using test::ReadBytes;
using test::sj;
using test::TempDir;
using test::WriteBytes;

mode_t ModeOf(const std::string& osPath) {
  struct stat st {};
  ::stat(osPath.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(FileNames, SplitAtTheLastSlashAndDot) {
  struct {
    std::string path, name, folder, ext, asDic;
  } const cases[] = {
      {"/a/b.txt", "b.txt", "/a/", ".txt", "/a/b.DIC"},
      {"b", "b", "", "", "b.DIC"},
      {"/a.d/b", "b", "/a.d/", "", "/a.d/b.DIC"},  // a dot in a folder name is no extension
      {"/a/b.tar.gz", "b.tar.gz", "/a/", ".gz", "/a/b.tar.DIC"},
      {"/a/", "", "/a/", "", "/a/.DIC"},
      {"/", "", "/", "", "/.DIC"},
      // 0x5C and 0x2E-free trail bytes: 表 (95 5C), ソ (83 5C)
      {sj("/辞書/表ソ.dic"), sj("表ソ.dic"), sj("/辞書/"), ".dic", sj("/辞書/表ソ.DIC")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(test::hex(c.path));
    EXPECT_EQ(ExtractFileName(c.path), c.name);
    EXPECT_EQ(ExtractFilePath(c.path), c.folder);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
    EXPECT_EQ(ChangeFileExt(c.path, ".DIC"), c.asDic);
  }
}

TEST(FileNames, ExpandFileNameResolvesLexically) {
  struct {
    std::string in, out;
  } const cases[] = {
      {"/a/./b//c/../d", "/a/b/d"}, {"/..", "/"},         {"/../a/..", "/"}, {"/", "/"},
      {"/a/b/", "/a/b/"},           {"/a/b/..", "/a"},    {"", ""},
      {sj("/辞書/../表/語.dic"), sj("/表/語.dic")},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandFileName(c.in), c.out) << c.in;

  TempDir dir;
  char* before = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  EXPECT_EQ(ExpandFileName("x/../y.dic"), dir.path() + "/y.dic");
  // A current folder with no CP932 name cannot be expressed: no path at all.
  ASSERT_EQ(::mkdir((dir / "caf\xC3\xA9").c_str(), 0700), 0);
  ASSERT_EQ(::chdir((dir / "caf\xC3\xA9").c_str()), 0);
  EXPECT_EQ(ExpandFileName("y.dic"), "");
  EXPECT_EQ(ExpandFileName("/abs"), "/abs");
  ASSERT_EQ(::chdir(before), 0);
  std::free(before);
}

TEST(Files, ExistenceCreationAndDeletionOnJapaneseNames) {
  TempDir dir;
  const std::string file = dir.path() + sj("/語句辞書.dic");
  const std::string osFile = dir / "語句辞書.dic";

  EXPECT_FALSE(FileExists(file));
  ASSERT_EQ(MakeEmptyFile(file), 0);
  EXPECT_EQ(ReadBytes(osFile), "");  // the on-disk name is UTF-8
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_TRUE(DirectoryExists(dir.path()));
  EXPECT_FALSE(FileExists(dir.path()));

  WriteBytes(osFile, "old");
  ASSERT_EQ(MakeEmptyFile(file), 0);
  EXPECT_EQ(ReadBytes(osFile), "");  // truncated

  EXPECT_FALSE(DeleteFile(dir.path()));  // never a folder
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_EQ(MakeEmptyFile(dir.path() + "/missing/x.dic"), ENOENT);

  // A name with no OS form is not there, and nothing is created for it.
  const std::string broken = dir.path() + "/a\x82";
  EXPECT_EQ(MakeEmptyFile(broken), ENOENT);
  EXPECT_FALSE(FileExists(broken));
  EXPECT_FALSE(DirectoryExists(broken));
  EXPECT_EQ(MakeEmptyFile(dir.path() + std::string("/a\0b", 4)), ENOENT);
  EXPECT_TRUE(Entries(dir.path()).empty());
}

TEST(Files, WriteFileAtomicReplacesKeepingModeAndLinks) {
  TempDir dir;
  const std::string path = dir.path() + sj("/設定.ini");
  ASSERT_EQ(WriteFileAtomic(path, "one"), 0);
  EXPECT_EQ(ReadBytes(dir / "設定.ini"), "one");

  ASSERT_EQ(::chmod((dir / "設定.ini").c_str(), 0640), 0);
  ASSERT_EQ(WriteFileAtomic(path, "two"), 0);
  EXPECT_EQ(ReadBytes(dir / "設定.ini"), "two");
  EXPECT_EQ(ModeOf(dir / "設定.ini"), 0640u);

  ASSERT_EQ(::symlink((dir / "設定.ini").c_str(), (dir / "link.ini").c_str()), 0);
  ASSERT_EQ(WriteFileAtomic(dir / "link.ini", "three"), 0);
  struct stat st {};
  ASSERT_EQ(::lstat((dir / "link.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadBytes(dir / "設定.ini"), "three");

  // A chain of links, relative ones too, to a file that does not exist yet.
  ASSERT_EQ(::mkdir((dir / "real").c_str(), 0700), 0);
  ASSERT_EQ(::symlink("real/new.ini", (dir / "hop.ini").c_str()), 0);
  ASSERT_EQ(::symlink("hop.ini", (dir / "first.ini").c_str()), 0);
  EXPECT_EQ(ResolveFileLinks(dir / "first.ini"), dir / "real/new.ini");
  ASSERT_EQ(WriteFileAtomic(dir / "first.ini", "four"), 0);
  EXPECT_EQ(ReadBytes(dir / "real/new.ini"), "four");
  ASSERT_EQ(::lstat((dir / "first.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::symlink("loop.ini", (dir / "loop.ini").c_str()), 0);
  EXPECT_EQ(WriteFileAtomic(dir / "loop.ini", "x"), ELOOP);

  EXPECT_EQ(Entries(dir.path()).size(), 6u);  // no temporary left behind
}

TEST(Files, AReadOnlyFileIsNotReplacedAndCrashedTemporariesGoOnRequest) {
  TempDir dir;
  WriteBytes(dir / "a.ini", "mine");
  ASSERT_EQ(::chmod((dir / "a.ini").c_str(), 0444), 0);  // honoured even by root
  EXPECT_EQ(WriteFileAtomic(dir / "a.ini", "new"), EACCES);
  EXPECT_EQ(ReadBytes(dir / "a.ini"), "mine");

  // What a writer killed before its rename leaves, beside files that only
  // look alike.
  for (const char* name : {".a.ini.~tavo99-0.tmp", ".a.ini.~tavo7-3.tmp", ".b.ini.~tavo1-0.tmp", "a.ini.tmp"})
    WriteBytes(dir / name, "half");
  RemoveStaleTemporaries(dir / "a.ini");
  auto names = Entries(dir.path());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".b.ini.~tavo1-0.tmp", "a.ini", "a.ini.tmp"}));
}

TEST(Files, OnlyRegularFilesAreReadOrTruncatedAndNothingWaits) {
  TempDir dir;
  WriteBytes(dir / "short", "abc");
  WriteBytes(dir / "long", std::string(600, 'x'));
  // Nobody writes to the fifo: an open that waited for a writer would hang.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  struct {
    std::string path;
    int error;
    std::string head;
  } const cases[] = {
      {dir / "short", 0, "abc"},
      {dir / "long", 0, std::string(512, 'x')},
      {dir.path(), EISDIR, ""},
      {dir / "fifo", EINVAL, ""},
      {"/dev/null", EINVAL, ""},
      {dir / "none", ENOENT, ""},
      {(dir / "short") + std::string("\0x", 2), ENOENT, ""},  // not cut to "short" at the NUL
      {"", ENOENT, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(test::hex(c.path));
    std::string bytes = "old";
    EXPECT_EQ(ReadFileHead(c.path, 512, bytes), c.error);
    EXPECT_EQ(bytes, c.head);
    bytes = "old";
    EXPECT_EQ(ReadWholeFile(c.path, bytes), c.error);
    EXPECT_EQ(bytes, c.error == 0 ? ReadBytes(c.path) : "");
    if (c.error != 0 && c.error != ENOENT) {
      EXPECT_EQ(MakeEmptyFile(c.path), c.error);
    }
  }
  EXPECT_EQ(MakeEmptyFile(dir / "long"), 0);
  EXPECT_EQ(ReadBytes(dir / "long"), "");
}

int WriteBig(const std::string& path) {
  return WriteFileAtomic(path, std::string(100000, 'n')) == EFBIG ? 0 : 1;
}

TEST(Files, WriteFileAtomicLeavesTheOriginalOnFailure) {
  TempDir dir;
  WriteBytes(dir / "a.ini", "original");
  EXPECT_EQ(test::RunWithFileSizeLimit(1000, WriteBig, dir / "a.ini"), 0);
  EXPECT_EQ(ReadBytes(dir / "a.ini"), "original");
  EXPECT_EQ(Entries(dir.path()).size(), 1u);

  ASSERT_EQ(::mkdir((dir / "sub").c_str(), 0700), 0);
  EXPECT_NE(WriteFileAtomic(dir / "sub", "x"), 0);
  EXPECT_TRUE(DirectoryExists(dir / "sub"));
  EXPECT_NE(WriteFileAtomic(dir / "missing/a.ini", "x"), 0);
  EXPECT_NE(WriteFileAtomic(dir.path() + "/\x82", "x"), 0);
  EXPECT_EQ(Entries(dir.path()).size(), 2u);
}

TEST(Folders, ProgramFolderHoldsTheExecutable) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(FileExists(folder + "/" + program_invocation_short_name));
}

// Puts HOME and XDG_CONFIG_HOME back after each test (TempDir does TAVO_WINDIR).
class WindowsFolderTest : public ::testing::Test {
 protected:
  static void Set(const char* name, const char* value) {
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  void TearDown() override {
    Set("HOME", home_ ? home_->c_str() : nullptr);
    Set("XDG_CONFIG_HOME", xdg_ ? xdg_->c_str() : nullptr);
  }
  static std::optional<std::string> Get(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  }
  TempDir dir_;
  std::optional<std::string> home_ = Get("HOME"), xdg_ = Get("XDG_CONFIG_HOME");
};

TEST_F(WindowsFolderTest, ComesFromTheEnvironment) {
  struct {
    const char *windir, *xdg, *home;
    std::string expected;
  } const cases[] = {
      {"/w/", "/x", "/h", "/w"},
      {"/w\xE8\xA8\xAD", "/x", "/h", sj("/w設")},
      {"", "/x/", "/h", "/x/tavo"},
      {nullptr, "/x", "/h", "/x/tavo"},
      {nullptr, "", "/h", "/h/.config/tavo"},
      {nullptr, "rel", "/h/", "/h/.config/tavo"},
      {nullptr, nullptr, "/h", "/h/.config/tavo"},
      {"/caf\xC3\xA9", nullptr, "/h", ""},  // no CP932 form
  };
  for (const auto& c : cases) {
    Set("TAVO_WINDIR", c.windir);
    Set("XDG_CONFIG_HOME", c.xdg);
    Set("HOME", c.home);
    EXPECT_EQ(WindowsFolder(), c.expected) << (c.windir ? c.windir : "-") << " " << (c.xdg ? c.xdg : "-");
  }
}

TEST_F(WindowsFolderTest, EnsureCreatesItPrivately) {
  const TempDir& dir = dir_;
  Set("TAVO_WINDIR", (dir / "a/b").c_str());
  EXPECT_FALSE(DirectoryExists(dir / "a"));  // naming it has no side effect
  ASSERT_TRUE(EnsureWindowsFolder());
  EXPECT_EQ(ModeOf(dir / "a"), 0700u);
  EXPECT_EQ(ModeOf(dir / "a/b"), 0700u);
  EXPECT_TRUE(EnsureWindowsFolder());

  WriteBytes(dir / "file", "");
  Set("TAVO_WINDIR", (dir / "file").c_str());
  EXPECT_FALSE(EnsureWindowsFolder());
}

}  // namespace
}  // namespace tavo
