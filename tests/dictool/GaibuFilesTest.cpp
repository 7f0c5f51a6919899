// The documents an external search collects, from real folders that the
// generator writes: doc0001.RUT in the folder, doc0002.rut in sub01,
// doc0003.RUT in sub01/sub02, doc0004.rut in sub03, doc0005.RUT in
// sub03/sub04, doc0006.rut in the folder again, and so on, with memo.txt
// (no document) in every folder.
#include "dictool/GaibuFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tools/gen/RuteGen.h"

namespace tavo {
namespace {

using test::MakeFolderTooDeepToList;

using Paths = std::vector<std::string>;

class GaibuFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gen::GenerateRuteFolder(root, {.Files = 9, .LinesPerFile = 2, .Subfolders = 4}, error)) << error;
  }
  void Make(const std::string& name, bool folder = false) {
    if (folder)
      ASSERT_EQ(mkdir((root + "/" + name).c_str(), 0700), 0) << name;
    else
      std::ofstream(root + "/" + name) << "x";
  }
  void Link(const std::string& target, const std::string& name) {
    ASSERT_EQ(symlink(target.c_str(), (root + "/" + name).c_str()), 0) << name;
  }
  Paths Under(const Paths& names) const {
    Paths out;
    for (const std::string& n : names) out.push_back(root + "/" + n);
    return out;
  }

  test::TempDir dir;
  const std::string root = dir / "docs";
};

TEST_F(GaibuFilesTest, DocumentsInByteOrderAndSubfoldersDepthFirst) {
  Make(".hidden.rut");      // a hidden file is a document
  Make(".git", true);       // a hidden folder is not searched
  Make(".git/in.rut");
  Make("folder.rut", true);  // a folder is no document, but is searched
  Make("folder.rut/inner.rut");
  Make("notes.rutx");
  ASSERT_EQ(mkfifo((root + "/pipe.rut").c_str(), 0600), 0);
  Link("sub03/doc0004.rut", "link.rut");  // a link to a document is one
  Link("missing.rut", "gone.rut");        // a dangling one is not
  Link(".", "loop");                      // a cycle
  Link("sub03", "zz");                    // a folder met twice
  Link("../..", "sub03/sub04/up");

  const Paths own = Under({".hidden.rut", "doc0001.RUT", "doc0006.rut", "link.rut"});
  DocumentList found = CollectDocuments(root, false);
  EXPECT_EQ(found.Files, own);
  EXPECT_EQ(found.Unnamed, 0);

  Paths all = own;
  for (const Paths& more : {Under({"folder.rut/inner.rut", "sub01/doc0002.rut", "sub01/doc0007.RUT"}),
                            Under({"sub01/sub02/doc0003.RUT", "sub01/sub02/doc0008.rut"}),
                            Under({"sub03/doc0004.rut", "sub03/doc0009.RUT", "sub03/sub04/doc0005.RUT"})})
    all.insert(all.end(), more.begin(), more.end());
  EXPECT_EQ(CollectDocuments(root, true).Files, all);
  // A trailing separator is not doubled.
  EXPECT_EQ(CollectDocuments(root + "/sub03/", false).Files, Under({"sub03/doc0004.rut", "sub03/doc0009.RUT"}));
}

TEST_F(GaibuFilesTest, DocumentsWhosePathsHaveNoShiftJisFormAreCountedNotCollected) {
  Make("\xF0\x9F\x98\x80.rut");  // U+1F600 in UTF-8 on disk
  Make("\xF0\x9F\x98\x80", true);
  Make("\xF0\x9F\x98\x80/a.rut");
  Make("\xF0\x9F\x98\x80/memo.txt");
  const DocumentList found = CollectDocuments(root, true);
  EXPECT_EQ(found.Unnamed, 2);
  EXPECT_EQ(found.Files.size(), 9u);
}

TEST_F(GaibuFilesTest, FoldersThatCannotBeListedAreNamedOnce) {
  const std::string deep = MakeFolderTooDeepToList(root + "/sub03");
  DocumentList found = CollectDocuments(root, true);
  EXPECT_EQ(found.Files.size(), 9u) << "the other documents are all collected";
  ASSERT_EQ(found.UnlistedFolders.size(), 1u);
  EXPECT_EQ(found.UnlistedFolders[0].OsPath, deep);
  EXPECT_EQ(found.UnlistedFolders[0].Error, ENAMETOOLONG);
  // The folder searched itself, too.
  found = CollectDocuments(root + "/memo.txt", false);
  ASSERT_EQ(found.UnlistedFolders.size(), 1u);
  EXPECT_EQ(found.UnlistedFolders[0].Error, ENOTDIR);
}

TEST_F(GaibuFilesTest, NoDocumentsFromAFolderThatIsNotThere) {
  for (const std::string& folder : {std::string(), root + "/missing", root + "/memo.txt"}) {
    const DocumentList found = CollectDocuments(folder, true);
    EXPECT_TRUE(found.Files.empty()) << folder;
    EXPECT_EQ(found.Unnamed, 0);
  }
}

}  // namespace
}  // namespace tavo
