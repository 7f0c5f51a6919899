// The item-ID-list toolkit: making, copying, joining, splitting and walking
// lists, and refusing lists that are malformed or not the toolkit's own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellIDFunc.h"
#include "platform/shell/ShellAllocator.h"
#include "tests/folderbrowse/ShellTestFolder.h"

namespace tavo::test {
namespace {

std::string Bytes(PCItemIDList p) { return std::string(reinterpret_cast<const char*>(p), PIDLSize(p)); }

class ShellIDList : public ShellTest {};

TEST_F(ShellIDList, WalksSplitsAndCopiesAPathList) {
  MakeDir(Os("a/b"));
  Pidl list(ListOf(Cp("a/b")));
  ASSERT_TRUE(list);
  // My Computer, the volume "/", then one ID per name below it.
  int names = 0;
  for (char c : Root() + "/a/b") names += c == '/';
  ASSERT_EQ(ItemIDCount(list), 2 + names);

  int walked = 1;
  std::size_t sum = 2;
  for (PCItemIDList id = list; id != nullptr; id = NextItemID(id)) {
    sum += CbOf(id);
    walked += NextItemID(id) != nullptr;
  }
  EXPECT_EQ(walked, ItemIDCount(list));
  EXPECT_EQ(PIDLSize(list), sum);
  EXPECT_EQ(FirstItemIDSize(list), CbOf(list) + 2);

  Pidl first(CopyFirstItemID(list));
  EXPECT_EQ(ItemIDCount(first), 1);
  EXPECT_EQ(Bytes(first), std::string(reinterpret_cast<const char*>(list.get()), CbOf(list)) + std::string(2, '\0'));

  Pidl parent(ParentPIDL(list));
  Pidl last(LastItemID(list));
  ASSERT_TRUE(parent);
  ASSERT_TRUE(last);
  EXPECT_EQ(ItemIDCount(parent), ItemIDCount(list) - 1);
  EXPECT_EQ(FsNameOf(last), "b");
  std::string path;
  EXPECT_TRUE(PIDLToPath(parent, path));
  EXPECT_EQ(path, Cp("a"));

  // Joining the parent and the last ID gives the list back, byte for byte.
  Pidl joined(ConcatPIDL(parent, last));
  EXPECT_EQ(Bytes(joined), Bytes(list));
  Pidl clone(ClonePIDL(list));
  EXPECT_NE(clone.get(), list.get());
  EXPECT_EQ(Bytes(clone), Bytes(list));
}

TEST_F(ShellIDList, EdgesOfNullEmptyAndOneIdLists) {
  Pidl desktop, computer;
  ASSERT_TRUE(GetSpecialFolderPIDL(0, desktop.ref()));
  ASSERT_TRUE(GetSpecialFolderPIDL(13, computer.ref()));

  EXPECT_EQ(ItemIDCount(nullptr), -1);
  EXPECT_EQ(ItemIDCount(desktop), 0);
  EXPECT_EQ(ItemIDCount(computer), 1);
  EXPECT_EQ(PIDLSize(nullptr), 0);
  EXPECT_EQ(PIDLSize(desktop), 2);
  EXPECT_EQ(FirstItemIDSize(desktop), 0);
  EXPECT_EQ(NextItemID(desktop), nullptr);
  EXPECT_EQ(NextItemID(computer), nullptr);
  EXPECT_EQ(NextItemID(nullptr), nullptr);
  EXPECT_EQ(CopyFirstItemID(desktop), nullptr);
  EXPECT_EQ(LastItemID(desktop), nullptr);
  EXPECT_EQ(LastItemID(nullptr), nullptr);
  // The parent of a child of the desktop is no list at all, not the empty one.
  EXPECT_EQ(ParentPIDL(computer), nullptr);
  EXPECT_EQ(ParentPIDL(desktop), nullptr);
  EXPECT_EQ(ConcatPIDL(computer, nullptr), nullptr);
  EXPECT_EQ(ConcatPIDL(nullptr, computer), nullptr);
  Pidl same(ConcatPIDL(desktop, computer));
  EXPECT_EQ(Bytes(same), Bytes(computer));
  EXPECT_TRUE(IsDesktopPIDL(ShellGetDesktopFolder(), desktop));
  EXPECT_FALSE(IsDesktopPIDL(ShellGetDesktopFolder(), computer));
  EXPECT_FALSE(IsDesktopPIDL(ShellGetDesktopFolder(), nullptr));
}

TEST_F(ShellIDList, AppendTakesBothListsOver) {
  struct Case {
    bool a, b;
    int count;  // of the result; -1 none
  };
  for (const Case& c : {Case{true, true, 2}, Case{true, false, 1}, Case{false, true, 1}, Case{false, false, -1}}) {
    PItemIDList a = nullptr, b = nullptr;
    if (c.a) GetSpecialFolderPIDL(13, a);
    if (c.b) GetSpecialFolderPIDL(14, b);
    const std::size_t before = ShellLiveBlocks();
    Pidl r(AppendPIDL(a, b));
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(ItemIDCount(r), c.count) << c.a << c.b;
    // The inputs are gone; only the result is alive.
    EXPECT_EQ(ShellLiveBlocks(), before - c.a - c.b + (c.count >= 0));
  }
}

TEST_F(ShellIDList, SizesStopAt65535Bytes) {
  EXPECT_EQ(AllocPIDL(0), nullptr);
  EXPECT_EQ(AllocPIDL(65536), nullptr);
  Pidl big(MakeItemID(ItemTag::FsFile, std::string(40000, 'x')));
  ASSERT_TRUE(big);
  // Two of them would need 80008 bytes: refused, nothing allocated.
  const std::size_t before = ShellLiveBlocks();
  EXPECT_EQ(ConcatPIDL(big, big), nullptr);
  EXPECT_EQ(ShellLiveBlocks(), before);
  // Exactly 65535 bytes still fit.
  Pidl a(MakeItemID(ItemTag::FsFile, std::string(30000, 'a')));
  Pidl b(MakeItemID(ItemTag::FsFile, std::string(65535 - 30000 - 3 - 5, 'b')));
  Pidl full(ConcatPIDL(a, b));
  ASSERT_TRUE(full);
  EXPECT_EQ(PIDLSize(full), 65535);
  EXPECT_EQ(MakeItemID(ItemTag::FsFile, std::string(65531, 'c')), nullptr);
}

TEST_F(ShellIDList, MalformedAndForeignListsAreNeverWalked) {
  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool valid;
  };
  const Case cases[] = {
      {"empty list", {0, 0}, true},
      {"one ID", {4, 0, 0x20, 'x', 0, 0}, true},
      {"no terminator", {4, 0, 0x20, 'x'}, false},
      {"half a terminator", {4, 0, 0x20, 'x', 0}, false},
      {"cb 1", {1, 0, 0, 0}, false},
      {"cb 2 (no tag)", {2, 0, 0, 0}, false},
      {"cb past the end", {9, 0, 0x20, 'x', 0, 0}, false},
      {"second ID past the end", {4, 0, 0x20, 'x', 200, 0, 0x20, 0, 0}, false},
      {"nothing", {}, false},
  };
  for (const Case& c : cases) {
    Pidl p(IDListFromBytes(c.bytes.data(), c.bytes.size()));
    EXPECT_EQ(p.get() != nullptr, c.valid) << c.what;
    if (p) {
      EXPECT_EQ(PIDLSize(p), c.bytes.size()) << c.what;
    }
  }

  // A well-formed list that is not in an allocator block has no known end.
  const std::uint8_t onStack[] = {4, 0, 0x20, 'x', 0, 0};
  EXPECT_EQ(PIDLSize(onStack), 0);
  EXPECT_EQ(ClonePIDL(onStack), nullptr);
  EXPECT_EQ(ItemIDCount(onStack), -1);
  EXPECT_EQ(ComparePIDL(ShellGetDesktopFolder(), onStack, onStack), 3);
  std::string path;
  EXPECT_FALSE(PIDLToPath(onStack, path));

  // A list whose cb runs past its block, made by writing into a real one.
  Pidl broken(AllocPIDL(6));
  std::memcpy(broken.get(), "\x04\x00\x20x\x10\x00", 6);
  EXPECT_EQ(PIDLSize(broken), 0);
  EXPECT_EQ(LastItemID(broken), nullptr);
  EXPECT_EQ(ShellGetDesktopFolder()->BindToObject(broken), nullptr);

  // Freeing a pointer into the middle of a block frees nothing.
  Pidl two(ConcatPIDL(Pidl(MakeItemID(ItemTag::Computer, {})), Pidl(MakeItemID(ItemTag::Network, {}))));
  EXPECT_FALSE(ShellFree(const_cast<PItemIDList>(NextItemID(two))));
  EXPECT_EQ(ItemIDCount(two), 2);

  // A freed list is not read again.
  PItemIDList gone = MakeItemID(ItemTag::Computer, {});
  PItemIDList stale = gone;
  FreePIDL(gone);
  EXPECT_EQ(gone, nullptr);
  EXPECT_EQ(PIDLSize(stale), 0);
  EXPECT_EQ(ClonePIDL(stale), nullptr);
}

}  // namespace
}  // namespace tavo::test
