// Find data and attribute bits from the disk, display names and renaming.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <vector>
#include <string>

#include "folderbrowse/ZuShellCtrls.h"
#include "folderbrowse/ZuShellIDFunc.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

class ShellAttributes : public ShellTest {
 protected:
  // The SFGAO bits of one object (absolute list), asked for all of `mask`.
  static std::uint32_t Sfgao(PCItemIDList absolute, std::uint32_t mask = ~0u) {
    std::uint32_t a = mask;
    EXPECT_TRUE(ShellGetDesktopFolder()->GetAttributesOf({&absolute, 1}, a));
    return a;
  }
};

TEST_F(ShellAttributes, FindDataFromTheDisk) {
  MakeDir(Os("d/folder"));
  MakeFile(Os("d/file"), "hello");
  MakeFile(Os("d/.hidden"), "x");
  MakeFile(Os("d/readonly"), "");
  ASSERT_EQ(::chmod(Os("d/readonly").c_str(), 0444), 0);
  ASSERT_EQ(::mkfifo(Os("d/fifo").c_str(), 0644), 0);
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, Os("d/socket").c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(s);
  ASSERT_EQ(::symlink("file", Os("d/filelink").c_str()), 0);
  ASSERT_EQ(::symlink("folder", Os("d/dirlink").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", Os("d/dangling").c_str()), 0);
  const struct timespec t[2] = {{1234567890, 500}, {1234567890, 500}};
  ASSERT_EQ(::utimensat(AT_FDCWD, Os("d/file").c_str(), t, 0), 0);

  const std::map<std::string, std::uint32_t> expected = {
      {"folder", FILE_ATTRIBUTE_DIRECTORY},
      {"file", FILE_ATTRIBUTE_ARCHIVE},
      {".hidden", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
      {"readonly", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"fifo", FILE_ATTRIBUTE_SYSTEM},
      {"socket", FILE_ATTRIBUTE_SYSTEM},
      {"filelink", FILE_ATTRIBUTE_ARCHIVE},
      {"dirlink", FILE_ATTRIBUTE_DIRECTORY},
      {"dangling", FILE_ATTRIBUTE_ARCHIVE},
  };
  Pidl dir(ListOf(Cp("d")));
  ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(dir);
  ASSERT_TRUE(folder);
  auto e = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
  std::size_t seen = 0;
  PItemIDList item = nullptr;
  ShellFindData fd;
  while (e->Next(item, &fd)) {
    Pidl owned(item);
    ++seen;
    ASSERT_TRUE(expected.count(fd.name)) << fd.name;
    EXPECT_EQ(fd.attributes, expected.at(fd.name)) << fd.name;
    ShellFindData again, byPath;
    EXPECT_TRUE(folder->GetFindData(owned, again));
    EXPECT_TRUE(ShellFindFile(Cp("d/") + fd.name, byPath));
    EXPECT_EQ(again.attributes, fd.attributes) << fd.name;
    EXPECT_EQ(byPath.attributes, fd.attributes) << fd.name;
    EXPECT_EQ(byPath.writeTime, fd.writeTime) << fd.name;
    if (fd.name == "file") {
      EXPECT_EQ(fd.size, 5u);
      // 2009-02-13 23:31:30.0000005 UTC in 100 ns units since 1601.
      EXPECT_EQ(fd.writeTime, (1234567890ULL + 11644473600ULL) * 10000000ULL + 5);
    }
    if (fd.name == "folder") {
      EXPECT_EQ(fd.size, 0u);
    }
  }
  EXPECT_EQ(seen, expected.size());
  EXPECT_FALSE(ShellFindFile(Cp("d/missing"), fd));

  // Names first: files and folders come without a look at each; what the
  // listing cannot tell (READONLY, size, time) the folder reads later, the
  // same as a full listing gives it.
  std::vector<UniquePIDL> fast;
  std::vector<IDListSpan> spans;
  e = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN | SHCONTF_FASTITEMS);
  while (e->Next(item, &fd)) {
    const std::uint32_t full = expected.at(fd.name);
    const bool plain = fd.name == "folder" || fd.name == "file" || fd.name == ".hidden" || fd.name == "readonly";
    EXPECT_EQ(fd.attributes, plain ? full & ~FILE_ATTRIBUTE_READONLY : full) << fd.name;
    EXPECT_EQ(FsFactsOf(item).known, !plain) << fd.name;
    if (plain) {
      EXPECT_EQ(fd.size, 0u);
    }
    fast.emplace_back(item);
    spans.push_back(fast.back().span());
  }
  ASSERT_EQ(fast.size(), expected.size());
  std::vector<FsEntryFacts> facts;
  folder->ReadFacts(spans, facts);
  ASSERT_EQ(facts.size(), fast.size());
  for (std::size_t i = 0; i < facts.size(); ++i) {
    const std::string name(FsNameOf(spans[i].p));
    ShellFindData byPath;
    ASSERT_TRUE(ShellFindFile(Cp("d/") + name, byPath));
    ASSERT_TRUE(facts[i].facts.known) << name;
    EXPECT_EQ(facts[i].facts.attributes, byPath.attributes) << name;
    EXPECT_EQ(facts[i].facts.size, byPath.size) << name;
    EXPECT_EQ(facts[i].facts.writeTime, byPath.writeTime) << name;
    // Written into the ID, they are what the folder answers from then on.
    ASSERT_TRUE(WriteFsFacts(fast[i].get(), facts[i]));
    EXPECT_FALSE(FsFactsPending(fast[i].get()));
    EXPECT_EQ(FsNameOf(fast[i].get()), name);
    ShellFindData again;
    ASSERT_TRUE(folder->GetFindData(fast[i].get(), again));
    EXPECT_EQ(again.attributes, byPath.attributes) << name;
  }
  MakeFile(Os("d/later"));
  ::unlink(Os("d/file").c_str());
  folder->ReadFacts(spans, facts);
  for (std::size_t i = 0; i < facts.size(); ++i) EXPECT_EQ(!facts[i].facts.known, FsNameOf(spans[i].p) == "file");
}

TEST_F(ShellAttributes, AttributeBitsOfFilesFoldersAndVirtualFolders) {
  MakeDir(Os("d/empty"));
  MakeDir(Os("d/parent/child"));
  MakeFile(Os("d/file"));
  MakeFile(Os("d/.hidden"));
  MakeFile(Os("d/readonly"));
  ASSERT_EQ(::chmod(Os("d/readonly").c_str(), 0444), 0);
  ASSERT_EQ(::symlink("file", Os("d/link").c_str()), 0);

  constexpr std::uint32_t kFsObject = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME |
                                      SFGAO_CANDELETE | SFGAO_HASPROPSHEET | SFGAO_FILESYSTEM;
  struct Case {
    const char* name;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"d/file", kFsObject},
      {"d/.hidden", kFsObject | SFGAO_HIDDEN},
      {"d/readonly", kFsObject | SFGAO_READONLY},
      {"d/link", kFsObject | SFGAO_LINK},
      {"d/empty", kFsObject | SFGAO_FOLDER | SFGAO_DROPTARGET},
      {"d/parent", kFsObject | SFGAO_FOLDER | SFGAO_DROPTARGET | SFGAO_HASSUBFOLDER},
  };
  for (const Case& c : cases) {
    Pidl p(ListOf(Cp(c.name)));
    EXPECT_EQ(Sfgao(p), c.bits) << c.name;
  }
  // Only the bits asked are answered.
  Pidl parent(ListOf(Cp("d/parent")));
  EXPECT_EQ(Sfgao(parent, SFGAO_FOLDER | SFGAO_LINK), SFGAO_FOLDER);

  struct Special {
    int number;
    std::uint32_t bits;
  };
  for (const Special& s : {Special{13, SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET},
                           Special{14, SFGAO_FOLDER}, Special{10, SFGAO_FOLDER | SFGAO_DROPTARGET | SFGAO_HASPROPSHEET},
                           Special{0, SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER |
                                          SFGAO_DROPTARGET | SFGAO_HASPROPSHEET}}) {
    Pidl p;
    ASSERT_TRUE(GetSpecialFolderPIDL(s.number, p.ref()));
    EXPECT_EQ(Sfgao(p), s.bits) << s.number;
  }

  // Several items at once: the bits all of them have.
  TShellIDList2 selection;
  selection.SetParentPIDL(ListOf(Cp("d")));
  for (const char* name : {"file", "readonly", "empty"}) {
    Pidl full(ListOf(Cp(std::string("d/") + name)));
    selection.Add(LastItemID(full));
  }
  EXPECT_EQ(selection.CapabilityAttributes(),
            SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_HASPROPSHEET);
  EXPECT_TRUE(selection.AllHaveAttribute(16));   // file system
  EXPECT_FALSE(selection.AllHaveAttribute(15));  // folder
  EXPECT_FALSE(selection.AllHaveAttribute(25));
  EXPECT_EQ(selection.ItemPath(1), Cp("d/readonly"));
  EXPECT_EQ(selection.ItemPath(3), "");
  // The IDs answer what the disk said when they were made; only a question
  // that asks for validation looks again, and a removed item fails it.
  ASSERT_EQ(::unlink(Os("d/file").c_str()), 0);
  EXPECT_TRUE(selection.AllHaveAttribute(16));
  EXPECT_FALSE(selection.AllHaveAttribute(19));
  std::uint32_t a = SFGAO_VALIDATE | SFGAO_FILESYSTEM;
  PCItemIDList gone = selection.RelativePIDL(0);
  EXPECT_FALSE(selection.GetParentFolder()->GetAttributesOf({&gone, 1}, a));
  Pidl readonly(ListOf(Cp("d/readonly")));
  ASSERT_EQ(::chmod(Os("d/readonly").c_str(), 0644), 0);
  EXPECT_EQ(Sfgao(readonly, SFGAO_READONLY), SFGAO_READONLY);
  EXPECT_EQ(Sfgao(readonly, SFGAO_VALIDATE | SFGAO_READONLY), 0u);
}

TEST_F(ShellAttributes, DisplayNames) {
  MakeDir(Os("d/日本語"));
  Pidl dir(ListOf(Cp("d")));
  Pidl full(ListOf(Cp("d/日本語")));
  Pidl last(LastItemID(full));
  ShellFolderPtr inD = ShellGetDesktopFolder()->BindToObject(dir);
  ShellFolderPtr desktop = ShellGetDesktopFolder();
  struct Case {
    const ShellFolderPtr* folder;
    PCItemIDList list;
    std::uint32_t flags;
    std::string name;
  };
  Pidl desk, computer, network, trash;
  GetSpecialFolderPIDL(0, desk.ref());
  GetSpecialFolderPIDL(13, computer.ref());
  GetSpecialFolderPIDL(14, network.ref());
  GetSpecialFolderPIDL(10, trash.ref());
  const Case cases[] = {
      {&inD, last, SHGDN_INFOLDER, sj("日本語")},
      {&inD, last, SHGDN_NORMAL, sj("日本語")},
      {&inD, last, SHGDN_FORPARSING, Cp("d/日本語")},
      {&inD, last, SHGDN_FORPARSING | SHGDN_INFOLDER, sj("日本語")},
      {&desktop, full, SHGDN_INFOLDER, sj("日本語")},
      {&desktop, full, SHGDN_FORPARSING, Cp("d/日本語")},
      {&desktop, desk, SHGDN_INFOLDER, sj("デスクトップ")},
      {&desktop, desk, SHGDN_FORPARSING, Home()},
      {&desktop, computer, SHGDN_INFOLDER, sj("マイ コンピュータ")},
      {&desktop, network, SHGDN_INFOLDER, sj("ネットワーク")},
      {&desktop, trash, SHGDN_INFOLDER, sj("ごみ箱")},
  };
  for (const Case& c : cases) {
    std::string text;
    EXPECT_TRUE(StrRetToString(*c.folder, c.list, c.flags, text)) << hex(c.name);
    EXPECT_EQ(text, c.name) << hex(text);
  }
  std::string text = "x";
  EXPECT_TRUE(StrRetToString(nullptr, last, SHGDN_INFOLDER, text));
  EXPECT_EQ(text, "");
  EXPECT_TRUE(StrRetToString(inD, nullptr, SHGDN_INFOLDER, text));
  Pidl volume(MakeItemID(ItemTag::Volume, "/"));
  EXPECT_FALSE(StrRetToString(inD, volume, SHGDN_INFOLDER, text));  // not a child of a folder
  EXPECT_EQ(text, "");
}

TEST_F(ShellAttributes, RenameNeverReplaces) {
  MakeDir(Os("d"));
  MakeFile(Os("d/a"), "A");
  MakeFile(Os("d/b"), "B");
  Pidl dir(ListOf(Cp("d")));
  ShellFolderPtr inD = ShellGetDesktopFolder()->BindToObject(dir);
  auto idOf = [&](const char* name) {
    PItemIDList p = nullptr;
    EXPECT_TRUE(inD->ParseDisplayName(name, p)) << name;
    return p;
  };
  struct Case {
    const char* what;
    std::string to;
    bool ok;
  };
  const Case refused[] = {
      {"an existing name", "b", false},
      {"a separator", "x/y", false},
      {"empty", "", false},
      {"dot-dot", "..", false},
      {"no UTF-8 form", "\x81", false},
  };
  for (const Case& c : refused) {
    Pidl a(idOf("a"));
    PItemIDList out = nullptr;
    EXPECT_FALSE(inD->SetNameOf(a, c.to, SHGDN_INFOLDER, &out)) << c.what;
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(Names(Cp("d"), SHCONTF_NONFOLDERS).size(), 2u);

  // Only the case changes: a new name of its own.
  Pidl a(idOf("a"));
  Pidl upper;
  ASSERT_TRUE(inD->SetNameOf(a, "A", SHGDN_INFOLDER, &upper.ref()));
  EXPECT_EQ(FsNameOf(upper), "A");
  Pidl newName;
  ASSERT_TRUE(inD->SetNameOf(upper, sj("表.rut"), 0x60, &newName.ref()));
  EXPECT_EQ(FsNameOf(newName), "表.rut");
  EXPECT_EQ(TagOf(newName), ItemTag::FsFile);
  std::string text;
  EXPECT_TRUE(StrRetToString(inD, newName, SHGDN_INFOLDER, text));
  EXPECT_EQ(text, sj("表.rut"));
  ShellFindData fd;
  EXPECT_TRUE(ShellFindFile(Cp("d/表.rut"), fd));
  EXPECT_FALSE(ShellFindFile(Cp("d/a"), fd));
  // Virtual folders cannot be renamed.
  Pidl computer;
  GetSpecialFolderPIDL(13, computer.ref());
  EXPECT_FALSE(ShellGetDesktopFolder()->SetNameOf(computer, "x", 0, nullptr));
}

TEST_F(ShellAttributes, TheRecycleBinShowsOriginalNames) {
  const std::string trash = Home() + "/.local/share/Trash";
  MakeDir(trash + "/files/old folder");
  MakeDir(trash + "/info");
  MakeFile(trash + "/files/x.txt");
  MakeFile(trash + "/info/x.txt.trashinfo",
           "[Trash Info]\nPath=/home/someone/%E8%A1%A8%20doc.txt\nDeletionDate=2024-01-01T00:00:00\n");
  Pidl bin;
  ASSERT_TRUE(GetSpecialFolderPIDL(10, bin.ref()));
  ShellFolderPtr folder = ShellGetDesktopFolder()->BindToObject(bin);
  ASSERT_TRUE(folder);
  std::map<std::string, std::string> shown;  // on-disk name -> in-folder name
  auto e = folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
  for (PItemIDList item = nullptr; e->Next(item, nullptr);) {
    Pidl owned(item);
    std::string name, path;
    EXPECT_TRUE(folder->GetDisplayNameOf(owned, SHGDN_INFOLDER, name));
    EXPECT_TRUE(folder->GetDisplayNameOf(owned, SHGDN_FORPARSING, path));
    EXPECT_EQ(path, trash + "/files/" + std::string(FsNameOf(owned)));
    shown[std::string(FsNameOf(owned))] = name;
    std::uint32_t a = SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE;
    PCItemIDList l = owned;
    EXPECT_TRUE(folder->GetAttributesOf({&l, 1}, a));
    EXPECT_EQ(a, SFGAO_CANDELETE);
    EXPECT_FALSE(folder->SetNameOf(owned, "renamed", 0, nullptr));
  }
  EXPECT_EQ(shown, (std::map<std::string, std::string>{{"old folder", "old folder"}, {"x.txt", sj("表 doc.txt")}}));
  std::uint32_t a = SFGAO_HASSUBFOLDER;
  PCItemIDList b = bin;
  EXPECT_TRUE(ShellGetDesktopFolder()->GetAttributesOf({&b, 1}, a));
  EXPECT_EQ(a, SFGAO_HASSUBFOLDER);
}

}  // namespace
}  // namespace tavo::test
