// Paths to item-ID lists and back, special folders, and what enumeration
// shows and skips, on real folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/text/OsPath.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

class ShellPath : public ShellTest {};

bool Has(const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); }

TEST_F(ShellPath, PathsGoToListsAndBack) {
  // UTF-8 names on disk; 表 ends in the byte 0x5C in CP932, F040 is a braille
  // cell character of the user-defined area.
  const char* const names[] = {"plain",        "日本語フォルダ", "表示.RUT", ".hidden",
                               "with space",  "a/表/b",        "ｶﾀｶﾅ"};
  for (const char* name : names) {
    MakeDir(Os(name));
    PItemIDList p = nullptr;
    ASSERT_TRUE(PathToPIDL(Cp(name), p)) << name;
    std::string back;
    EXPECT_TRUE(PIDLToPath(p, back));
    EXPECT_EQ(back, Cp(name)) << hex(back);
    FreePIDL(p);
  }
  const std::string cell = Root() + "/\xF0\x40";
  MakeDir(*ToOsPath(cell));
  Pidl c(ListOf(cell));
  std::string back;
  EXPECT_TRUE(PIDLToPath(c, back));
  EXPECT_EQ(back, cell);

  // Other spellings of the same folder give the same list.
  Pidl plain(ListOf(Cp("plain")));
  for (const std::string& other : {Cp("plain") + "/", Root() + "/./plain", Root() + "/x/../plain", Root() + "//plain"}) {
    Pidl q(ListOf(other));
    EXPECT_EQ(ComparePIDL(ShellGetDesktopFolder(), plain, q), 0) << other;
    EXPECT_TRUE(PIDLToPath(q, back));
    EXPECT_EQ(back, Cp("plain"));
  }
}

TEST_F(ShellPath, WhatCannotBeNamedFailsCleanly) {
  struct Case {
    const char* what;
    std::string path;
  };
  const Case cases[] = {
      {"empty", ""},
      {"relative", "plain"},
      {"missing", Root() + "/missing"},
      {"below a file", Root() + "/file/x"},
      {"a lone lead byte", Root() + "/\x81"},
      {"a byte CP932 does not use", Root() + "/\xFD"},
      {"a NUL", Root() + std::string("/a\0b", 4)},
  };
  MakeFile(Os("file"));
  for (const Case& c : cases) {
    PItemIDList p = reinterpret_cast<PItemIDList>(&p);  // set to nullptr even on failure
    EXPECT_FALSE(PathToPIDL(c.path, p)) << c.what;
    EXPECT_EQ(p, nullptr) << c.what;
  }
  std::string path = "x";
  EXPECT_FALSE(PIDLToPath(nullptr, path));
  EXPECT_EQ(path, "");
}

TEST_F(ShellPath, EveryEntryIsNamedByAFormThatReadsBackToIt) {
  // Names with no CP932 form of their own are named all the same: their
  // form's escapes stand for their bytes, and the name, the path and the
  // parse all lead back to the entry.
  const std::string names[] = {"ok.txt", "漢字.txt", "café.txt", "bad\xFF.txt", "한국어.rut", "a\xE3\x80\x9C"};
  MakeDir(Os("d/한국/内"));
  for (const std::string& name : names) MakeFile(Os("d/" + name));
  auto listed = Names(Cp("d"), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
  ASSERT_EQ(listed.size(), 7u);
  Pidl folder(ListOf(Cp("d")));
  ShellFolderPtr d = ShellGetDesktopFolder()->BindToObject(folder);
  ASSERT_TRUE(d);
  for (std::string name : names) {
    const std::string form = *FromOsPathEscaped(name);
    EXPECT_TRUE(Has(listed, form)) << name;
    Pidl child;
    ASSERT_TRUE(d->ParseDisplayName(form, child.ref())) << name;
    std::string shown, path;
    EXPECT_TRUE(d->GetDisplayNameOf(child, SHGDN_INFOLDER, shown));
    EXPECT_EQ(shown, form);
    Pidl full(ConcatPIDL(folder, child));
    EXPECT_TRUE(PIDLToPath(full, path));
    EXPECT_EQ(ToOsPath(path).value_or("?"), Os("d/" + name));
  }
  EXPECT_TRUE(Has(listed, "ok.txt"));
  EXPECT_TRUE(Has(listed, sj("漢字.txt")));
  // A folder so named has subfolders, binds and lists.
  Pidl korean(ListOf(Cp("d") + "/" + *FromOsPathEscaped("한국")));
  std::uint32_t a = SFGAO_HASSUBFOLDER;
  Pidl last(LastItemID(korean));
  PCItemIDList item = last.get();
  ASSERT_TRUE(d->GetAttributesOf({&item, 1}, a));
  EXPECT_EQ(a, SFGAO_HASSUBFOLDER);
  std::string koreanPath;
  ASSERT_TRUE(PIDLToPath(korean, koreanPath));
  EXPECT_EQ(Names(koreanPath, SHCONTF_FOLDERS), std::vector<std::string>{sj("内")});
}

TEST_F(ShellPath, HiddenEntriesOnlyWhenAskedAndFoldersApartFromFiles) {
  MakeDir(Os("d/sub"));
  MakeDir(Os("d/.hiddendir"));
  MakeFile(Os("d/file"));
  MakeFile(Os("d/.hiddenfile"));
  struct Case {
    std::uint32_t flags;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {SHCONTF_FOLDERS, {"sub"}},
      {SHCONTF_NONFOLDERS, {"file"}},
      {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, {"file", "sub"}},
      {SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, {".hiddendir", "sub"}},
      {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, {".hiddendir", ".hiddenfile", "file", "sub"}},
  };
  for (const Case& c : cases) {
    auto names = Names(Cp("d"), c.flags);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.names) << c.flags;
  }
}

TEST_F(ShellPath, ALinkIsAnItemOfItsOwn) {
  MakeDir(Os("target/inner"));
  ASSERT_EQ(::symlink(Os("target").c_str(), Os("link").c_str()), 0);
  ASSERT_EQ(::symlink(Os("nowhere").c_str(), Os("dangling").c_str()), 0);

  Pidl link(ListOf(Cp("link")));
  std::string path;
  EXPECT_TRUE(PIDLToPath(link, path));
  EXPECT_EQ(path, Cp("link"));  // the link's own path, not its target's
  Pidl last(LastItemID(link));
  EXPECT_EQ(TagOf(last), ItemTag::FsFolder);
  ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(link);
  ASSERT_TRUE(folder);
  EXPECT_EQ(Names(Cp("link"), SHCONTF_FOLDERS), std::vector<std::string>{"inner"});

  Pidl dangling(ListOf(Cp("dangling")));
  Pidl dlast(LastItemID(dangling));
  EXPECT_EQ(TagOf(dlast), ItemTag::FsFile);
  EXPECT_EQ(ShellGetDesktopFolder()->BindToObject(dangling), nullptr);
}

TEST_F(ShellPath, SpecialFolders) {
  std::string path;
  Pidl desktop;
  ASSERT_TRUE(GetSpecialFolderPIDL(0, desktop.ref()));
  EXPECT_EQ(PIDLSize(desktop), 2);
  for (int number : {10, 13, 14}) {
    Pidl p;
    ASSERT_TRUE(GetSpecialFolderPIDL(number, p.ref())) << number;
    EXPECT_EQ(ItemIDCount(p), 1);
    EXPECT_FALSE(PIDLToPath(p, path)) << number;  // virtual folders have no path
  }
  for (int number : {-1, 1, 2, 30}) {
    PItemIDList p = reinterpret_cast<PItemIDList>(&p);
    EXPECT_FALSE(GetSpecialFolderPIDL(number, p)) << number;
    EXPECT_EQ(p, nullptr);
  }
  Pidl personal;
  ASSERT_TRUE(GetSpecialFolderPIDL(5, personal.ref()));
  EXPECT_TRUE(PIDLToPath(personal, path));
  EXPECT_EQ(path, Home());

  // The desktop directory: the XDG one, else the home folder, else "/".
  auto desktopDir = [&] {
    Pidl p;
    EXPECT_TRUE(GetSpecialFolderPIDL(12, p.ref()));
    std::string s;
    EXPECT_TRUE(PIDLToPath(p, s));
    return s;
  };
  EXPECT_EQ(desktopDir(), Home());
  MakeDir(Home() + "/Desktop");
  EXPECT_EQ(desktopDir(), Home() + "/Desktop");
  MakeDir(Home() + "/.config");
  MakeDir(Home() + "/デスクトップ");
  MakeFile(Home() + "/.config/user-dirs.dirs", std::string("# written by a test\nXDG_DESKTOP_DIR=\"$HOME/") +
                                                   "デスクトップ" + "\"\n");
  EXPECT_EQ(desktopDir(), Home() + "/" + sj("デスクトップ"));
  MakeFile(Home() + "/.config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/no/such/folder\"\n");
  EXPECT_EQ(desktopDir(), Home());
  MakeDir(Home() + "/Área de trabalho");  // no CP932 form
  MakeFile(Home() + "/.config/user-dirs.dirs", std::string("XDG_DESKTOP_DIR=\"$HOME/") + "Área de trabalho\"\n");
  EXPECT_EQ(desktopDir(), Home());
  ::setenv("HOME", (Root() + "/no-home").c_str(), 1);
  EXPECT_EQ(desktopDir(), "/");
  // The path of the desktop's own list is the desktop directory's.
  EXPECT_TRUE(PIDLToPath(desktop, path));
  EXPECT_EQ(path, "/");
}

}  // namespace
}  // namespace tavo::test
