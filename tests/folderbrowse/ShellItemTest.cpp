// The shell item behind tree nodes and list rows, and the selections.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "folderbrowse/ZuShellCtrls.h"
#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellAllocator.h"
#include "platform/shell/ShellFileInfo.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

// The simplest item: an absolute list and its last ID, as the folder tree's
// items are made.
class Item : public TShellDataItem {
 public:
  explicit Item(PItemIDList absolute)
      : TShellDataItem(ItemIDCount(absolute) == 0 ? nullptr : LastItemID(absolute), absolute) {}
  int Index() const override { return 0; }
  int Level() override { return ItemIDCount(absolutePIDL_); }
  PCItemIDList ParentPIDL() override {
    if (parentPIDL_ == nullptr) {
      if (Level() == 1) {
        GetSpecialFolderPIDL(0, parentPIDL_);
      } else {
        parentPIDL_ = ::tavo::ParentPIDL(absolutePIDL_);
      }
    }
    return parentPIDL_;
  }
  PCItemIDList AbsolutePIDL() override { return absolutePIDL_; }
  bool IsValid() const override { return absolutePIDL_ != nullptr; }
};

bool IsFsTag(ItemTag t) { return t == ItemTag::FsFile || t == ItemTag::FsFolder; }

class ShellItem : public ShellTest {
 protected:
  static std::unique_ptr<Item> Special(int number) {
    PItemIDList p = nullptr;
    EXPECT_TRUE(GetSpecialFolderPIDL(number, p));
    return std::make_unique<Item>(p);
  }
  std::unique_ptr<Item> At(const char* name) { return std::make_unique<Item>(ListOf(Cp(name))); }
};

TEST_F(ShellItem, TypesOfItems) {
  MakeDir(Os("folder"));
  MakeFile(Os("file"));
  MakeDir(Home() + "/Desktop/on desktop");
  MakeFile(Home() + "/Desktop/note.txt");
  EXPECT_EQ(Special(0)->ItemType(), itDeskTop);
  EXPECT_EQ(Special(13)->ItemType(), itMyComputer);
  EXPECT_EQ(Special(14)->ItemType(), itNetWork);
  EXPECT_EQ(Special(10)->ItemType(), itBitBucket);
  EXPECT_EQ(At("folder")->ItemType(), itFolder);
  EXPECT_EQ(At("file")->ItemType(), itFile);
  // The volume "/" is the root drive: level 2 with a file-system ancestor.
  Pidl root(ListOf("/"));
  EXPECT_EQ(Item(ClonePIDL(root)).ItemType(), itRootDrive);
  // Entries of the desktop directory are the desktop's own children.
  auto desktop = ShellGetDesktopFolder();
  auto e = desktop->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
  int files = 0, folders = 0;
  for (PItemIDList id = nullptr; e->Next(id, nullptr);) {
    Item item(id);
    if (IsFsTag(TagOf(id))) {
      files += item.ItemType() == itFile;
      folders += item.ItemType() == itFolder;
      EXPECT_FALSE(item.GetPath().empty());
    }
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(folders, 1);
}

TEST_F(ShellItem, NamesPathsAndIcons) {
  MakeDir(Os("フォルダ"));
  MakeFile(Os("doc.rut"));
  MakeFile(Os("DOC2.RUT"));
  MakeFile(Os("doc.txt"));
  ASSERT_EQ(::symlink("doc.txt", Os("link").c_str()), 0);

  auto folder = At("フォルダ");
  EXPECT_EQ(folder->DisplayName(), sj("フォルダ"));
  EXPECT_EQ(folder->GetPath(), Cp("フォルダ"));
  EXPECT_EQ(folder->GetIconIndex(), kIconFolder);
  EXPECT_EQ(folder->GetOpenIconIndex(), kIconOpenFolder);
  EXPECT_EQ(folder->OverlayIndex(), -1);
  EXPECT_TRUE(folder->HasAttribute(15));
  EXPECT_FALSE(folder->HasAttribute(8));
  EXPECT_FALSE(folder->HasAttribute(-1));
  // The name is kept: renaming on disk does not change it until reset.
  ASSERT_EQ(::rename(Os("フォルダ").c_str(), Os("moved").c_str()), 0);
  EXPECT_EQ(folder->DisplayName(), sj("フォルダ"));
  folder->SetDisplayNameCache("");
  EXPECT_EQ(folder->DisplayName(), sj("フォルダ"));  // the ID still holds the old name

  EXPECT_EQ(At("doc.rut")->GetIconIndex(), kIconRuteDocument);
  EXPECT_EQ(At("DOC2.RUT")->GetIconIndex(), kIconRuteDocument);
  EXPECT_EQ(At("doc.txt")->GetIconIndex(), kIconDocument);
  EXPECT_EQ(At("link")->OverlayIndex(), 1);

  // The desktop's root item: absolute list empty, relative list the desktop
  // directory's, so that its path is that folder's.
  PItemIDList abs = nullptr, rel = nullptr;
  ASSERT_TRUE(GetSpecialFolderPIDL(0, abs));
  ASSERT_TRUE(GetSpecialFolderPIDL(12, rel));
  struct Root : Item {
    Root(PItemIDList a, PItemIDList r) : Item(a) { relativePIDL_ = r; }
  } root(abs, rel);
  EXPECT_EQ(root.Level(), 0);
  EXPECT_EQ(root.GetPath(), Home());
  EXPECT_EQ(root.DisplayName(), sj("デスクトップ"));
  EXPECT_EQ(root.GetIconIndex(), kIconDesktop);
  EXPECT_EQ(Special(13)->GetIconIndex(), kIconComputer);
  EXPECT_EQ(Special(14)->GetIconIndex(), kIconNetwork);
  EXPECT_EQ(Special(10)->GetIconIndex(), kIconTrash);
  Pidl rootVolume(ListOf("/"));
  EXPECT_EQ(GetSysIconIndex(rootVolume, true, false), kIconFixedVolume);
  EXPECT_EQ(GetSysIconIndex(nullptr, false, false), 0);
}

TEST_F(ShellItem, AnItemWithoutAParentFolderAnswersNothing) {
  MakeDir(Os("gone/deeper"));
  auto item = At("gone/deeper");
  ASSERT_EQ(::rmdir(Os("gone/deeper").c_str()), 0);
  ASSERT_EQ(::rmdir(Os("gone").c_str()), 0);
  ShellFolderPtr parent;
  EXPECT_FALSE(item->ParentFolder(parent));
  EXPECT_EQ(item->DisplayName(), "");
  EXPECT_EQ(item->GetIconIndex(), -1);
  EXPECT_EQ(item->OverlayIndex(), -1);
  EXPECT_FALSE(item->HasAttribute(16));
  EXPECT_EQ(item->ItemType(), itVirtual);
  EXPECT_EQ(item->ItemDropTarget(), nullptr);
}

TEST_F(ShellItem, SelectionListsOwnOrBorrow) {
  MakeFile(Os("x"));
  Pidl parent(ListOf(Root()));
  Pidl child(ListOf(Cp("x")));
  Pidl rel(LastItemID(child));
  {
    TShellIDList borrowed;  // frees nothing
    borrowed.SetParentPIDL(parent.get());
    borrowed.Add(rel.get());
    EXPECT_EQ(borrowed.RelativePIDL(0), rel.get());
    EXPECT_EQ(borrowed.RelativePIDL(1), nullptr);
    EXPECT_EQ(borrowed.RelativePIDL(-1), nullptr);
    EXPECT_EQ(borrowed.ItemPath(0), Cp("x"));
    ASSERT_TRUE(borrowed.GetParentFolder());
    borrowed.Clear();
    EXPECT_EQ(borrowed.PIDLArray(), nullptr);
    EXPECT_EQ(borrowed.CapabilityAttributes(), 0u);
  }
  const std::size_t before = ShellLiveBlocks();
  {
    TShellIDList2 owned;
    owned.SetParentPIDL(ClonePIDL(parent));
    owned.SetParentPIDL(ClonePIDL(parent));  // the first parent is freed
    for (int i = 0; i < 3; ++i) owned.Add(ClonePIDL(rel));
    EXPECT_EQ(ShellLiveBlocks(), before + 4);
    owned.Clear();
    EXPECT_EQ(ShellLiveBlocks(), before);
    owned.SetParentPIDL(ClonePIDL(parent));
    owned.Add(ClonePIDL(rel));
  }
  EXPECT_EQ(ShellLiveBlocks(), before);
  // A selection on the desktop is asked of the desktop itself.
  TShellIDList2 onDesktop;
  PItemIDList desk = nullptr, computer = nullptr;
  GetSpecialFolderPIDL(0, desk);
  GetSpecialFolderPIDL(13, computer);
  onDesktop.SetParentPIDL(desk);
  onDesktop.Add(computer);
  EXPECT_EQ(onDesktop.GetParentFolder(), ShellGetDesktopFolder());
  EXPECT_TRUE(onDesktop.AllHaveAttribute(15));
  EXPECT_FALSE(onDesktop.AllHaveAttribute(16));
  EXPECT_EQ(onDesktop.ItemPath(0), "");
}

}  // namespace
}  // namespace tavo::test
