// The file list on real folders, without a window: column texts, browsing
// and the per-folder columns, the filter, sorting with the selection kept,
// the selection total, type-ahead, names first and details later, and
// changes on disk reaching the list.
#include <gtest/gtest.h>
#include <fcntl.h>

#include <QLocale>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "folderbrowse/ZuShellFileList.h"
#include "folderbrowse/ZuShellListModel.h"
#include "platform/system/Process.h"
#include "platform/text/OsPath.h"
#include "platform/text/QtText.h"
#include "tests/folderbrowse/ShellTestFolder.h"
#include "tests/folderbrowse/WatchTestSupport.h"
#include "tests/support/TestText.h"

namespace tavo::test {
namespace {

constexpr std::uint64_t kGiB = 1024ULL * 1024 * 1024;

void SetTime(const std::string& path, time_t seconds) {
  const struct timespec t[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, AT_SYMLINK_NOFOLLOW), 0);
}

class ShellFileList : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    cwd_ = std::filesystem::current_path();
    const char* tz = std::getenv("TZ");
    if (tz != nullptr) savedTz_ = tz;
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
  }
  void TearDown() override {
    list_.reset();
    EXPECT_TRUE(AllThreadsEnded());
    std::filesystem::current_path(cwd_);
    if (savedTz_.empty()) ::unsetenv("TZ");
    else ::setenv("TZ", savedTz_.c_str(), 1);
    ::tzset();
    ShellTest::TearDown();
  }
  TShellFileList& Make(TShellFileListTiming timing = {{60}, 2000}) {
    list_ = std::make_unique<TShellFileList>(timing);
    list_->OnShListChange = [this] { ++listChanges_; };
    list_->OnShSelChange = [this](std::uint64_t total) {
      ++selChanges_;
      lastTotal_ = total;
    };
    return *list_;
  }
  void Show(const std::string& cp932Folder) {
    Pidl folder(ListOf(cp932Folder));
    list_->BrowseTo(folder);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (int i = 0; i < list_->Count(); ++i) names.push_back(list_->ItemAt(i)->DisplayName());
    return names;
  }
  std::vector<std::string> Selected() const {
    std::vector<std::string> names;
    for (int i = 0; i < list_->Count(); ++i)
      if (list_->ItemAt(i)->Selected) names.push_back(list_->ItemAt(i)->DisplayName());
    return names;
  }
  int IndexOf(const std::string& name) const {
    for (int i = 0; i < list_->Count(); ++i)
      if (list_->ItemAt(i)->DisplayName() == name) return i;
    return -1;
  }

  std::unique_ptr<TShellFileList> list_;
  int listChanges_ = 0, selChanges_ = 0;
  std::uint64_t lastTotal_ = 0;
  std::filesystem::path cwd_;
  std::string savedTz_;
};

TEST_F(ShellFileList, ColumnTexts) {
  EXPECT_EQ(KilobyteText(0), "0KB");
  EXPECT_EQ(KilobyteText(1), "1KB");
  EXPECT_EQ(KilobyteText(1024), "1KB");
  EXPECT_EQ(KilobyteText(1025), "2KB");
  EXPECT_EQ(KilobyteText(1048576), "1,024KB");
  EXPECT_EQ(KilobyteText(5 * kGiB + 1), "5,242,881KB");  // 64-bit: no wrap at 4 GiB
  EXPECT_EQ(LocalDateText(0), "");
  // 2009-02-13 23:31:30 UTC is 2009-02-14 8:31 in Japan, written as the
  // locale writes a short date and time.
  const std::uint64_t t = (1234567890ULL + 11644473600ULL) * 10000000ULL;
  EXPECT_EQ(LocalDateText(t, QLocale(QLocale::Japanese, QLocale::Japan)), "2009/02/14 8:31");
  EXPECT_EQ(LocalDateText(t, QLocale(QLocale::German, QLocale::Germany)), "14.02.09 08:31");
  EXPECT_EQ(FromCp932Path(LocalDateText(t, QLocale(QLocale::Korean, QLocale::SouthKorea))),
            QStringLiteral("09. 2. 14. 오전 8:31"));
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));  // the user's
  EXPECT_EQ(AttributeLetters(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY),
            "RHSA");
  EXPECT_EQ(AttributeLetters(FILE_ATTRIBUTE_DIRECTORY), "");

  MakeDir(Os("d/folder"));
  MakeFile(Os("d/doc.rut"), std::string(1025, 'x'));
  MakeFile(Os("d/README"));
  MakeFile(Os("d/x.ヂ"));  // 83 61: a trail byte that reads as "a"
  MakeFile(Os("d/.hidden"), "x");
  ASSERT_EQ(::chmod(Os("d/doc.rut").c_str(), 0444), 0);
  SetTime(Os("d/doc.rut"), 1234567890);
  TShellFileList& list = Make();
  Show(Cp("d"));
  ASSERT_EQ(list.Count(), 5);
  EXPECT_EQ(list.ItemAt(IndexOf(sj("x.ヂ")))->TypeText(), sj("ヂ ファイル"));
  TShellFileItem* folder = list.ItemAt(IndexOf("folder"));
  TShellFileItem* doc = list.ItemAt(IndexOf("doc.rut"));
  EXPECT_EQ(folder->SizeText(), "");
  EXPECT_EQ(folder->TypeText(), sj("ファイル フォルダ"));
  EXPECT_EQ(doc->SizeText(), "2KB");
  EXPECT_EQ(doc->TypeText(), sj("RUT ファイル"));
  EXPECT_EQ(doc->DateText(), "2009/02/14 8:31");
  EXPECT_EQ(doc->AttributeText(), "RA");
  EXPECT_EQ(list.ItemAt(IndexOf(".hidden"))->AttributeText(), "HA");
  EXPECT_EQ(list.ItemAt(IndexOf("README"))->TypeText(), sj("ファイル"));
  QLocale::setDefault(QLocale::system());
}

TEST_F(ShellFileList, BrowsingFillsOnceSetsTheDirectoryAndLaysOutColumnsPerFolder) {
  MakeDir(Os("d/sub"));
  MakeFile(Os("d/a.rut"));
  MakeFile(Os("d/b.txt"));
  TShellFileList& list = Make();
  list.SetClientWidth(600);
  list.SetColumnWidth(lcName, 180);
  list.SetColumnWidth(lcSize, 50);
  list.SetColumnOrder({0, 2, 1, 3, 4});
  Show(Cp("d"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"sub", "a.rut", "b.txt"}));
  EXPECT_EQ(std::filesystem::current_path(), Os("d"));
  EXPECT_EQ(list.FolderType(), itFolder);
  EXPECT_EQ(listChanges_, 1);
  Show(Cp("d"));  // the folder shown already
  EXPECT_EQ(listChanges_, 1);

  // My Computer: one column of half the width; the directory stays.
  Pidl computer;
  ASSERT_TRUE(GetSpecialFolderPIDL(13, computer.ref()));
  list.BrowseTo(computer);
  EXPECT_EQ(list.FolderType(), itMyComputer);
  EXPECT_EQ(list.FolderPath(), "");
  ASSERT_EQ(list.Columns().size(), 1u);
  EXPECT_EQ(list.Columns()[0].Width, 300);
  EXPECT_EQ(std::filesystem::current_path(), Os("d"));
  // The report widths are still there for the settings.
  EXPECT_EQ(list.ReportColumnWidth(lcName), 180);
  list.SetReportColumnWidth(lcType, 90);
  list.ColumnClick(lcAttributes);  // no path: nothing, not even the column
  EXPECT_EQ(list.SortColumn(), lcName);

  // Back in a folder: the five columns as they were, size right-aligned,
  // attributes left-aligned.
  Show(Cp("d/sub"));
  ASSERT_EQ(list.Columns().size(), 5u);
  EXPECT_EQ(list.Columns()[lcName].Width, 180);
  EXPECT_EQ(list.Columns()[lcSize].Width, 50);
  EXPECT_EQ(list.Columns()[lcType].Width, 90);
  EXPECT_TRUE(list.Columns()[lcSize].RightAligned);
  EXPECT_FALSE(list.Columns()[lcAttributes].RightAligned);
  EXPECT_EQ(list.ColumnOrder(), (std::vector<int>{0, 2, 1, 3, 4}));
  EXPECT_EQ(std::filesystem::current_path(), Os("d/sub"));

  // The filter sees every item; a list it empties still reports.
  list.OnShFilter = [](TShellFileItem& item, bool& accept) {
    accept = (item.FileAttributes() & FILE_ATTRIBUTE_DIRECTORY) != 0 || item.DisplayName().ends_with(".rut");
  };
  Show(Cp("d"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"sub", "a.rut"}));
  list.OnShFilter = [](TShellFileItem&, bool& accept) { accept = false; };
  const int before = listChanges_;
  list.RefreshItems();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(listChanges_, before + 1);
}

// A list whose steps are overridden, as a control derived from it would.
class StepList : public TShellFileList {
 public:
  using TShellFileList::TShellFileList;
  int filtered = 0;

 protected:
  bool DoShFilter(TShellFileItem& item) override {
    ++filtered;
    if (item.DisplayName().ends_with(".tmp")) return false;  // decided here, whatever the event says
    return TShellFileList::DoShFilter(item);
  }
};

TEST_F(ShellFileList, EachEventGoesThroughItsStepWhichSuppliesTheDefaults) {
  MakeDir(Os("d/sub"));
  for (const char* name : {"a.rut", "b.txt", "c.tmp"}) MakeFile(Os(std::string("d/") + name), "x");
  StepList list({{60}, 2000});
  Pidl folder(ListOf(Cp("d")));
  // Unassigned, the filter keeps what the step keeps.
  list.BrowseTo(folder);
  EXPECT_EQ(list.filtered, 4);
  EXPECT_EQ(list.Count(), 3);
  // Assigned, the event sees Accept true and may drop more.
  std::vector<bool> onEntry;
  list.OnShFilter = [&](TShellFileItem& item, bool& accept) {
    onEntry.push_back(accept);
    if (item.DisplayName() == "b.txt") accept = false;
  };
  list.RefreshItems();
  EXPECT_EQ(onEntry, (std::vector<bool>{true, true, true}));
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) names.push_back(list.ItemAt(i)->DisplayName());
  EXPECT_EQ(names, (std::vector<std::string>{"sub", "a.rut"}));

  // Opening a document: OnShExecute gets the column and the point, with
  // DefaultAction true; left so, the desktop opens the item.
  std::vector<std::vector<std::string>> started;
  SetStartProgramHook([&](const std::string& program, const std::vector<std::string>& args) {
    started.push_back({program});
    started.back().insert(started.back().end(), args.begin(), args.end());
    return true;
  });
  std::vector<int> seen;
  list.OnShExecute = [&](TShellFileItem&, TShiftState shift, int subItem, int x, int y, bool& defaultAction) {
    seen = {static_cast<int>(shift), subItem, x, y, defaultAction ? 1 : 0};
    defaultAction = subItem != lcType;
  };
  list.ExecuteItem(1, ssCtrl, lcType, 40, 7);
  EXPECT_EQ(seen, (std::vector<int>{static_cast<int>(ssCtrl), lcType, 40, 7, 1}));
  EXPECT_TRUE(started.empty());
  list.ExecuteItem(1, 0, lcName, 3, 4);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{"xdg-open", Cp("d/a.rut")}));
  // Objects without a path open by the desktop's own address for them.
  Pidl trash;
  ASSERT_TRUE(GetSpecialFolderPIDL(10, trash.ref()));
  EXPECT_TRUE(ShellOpenItem(trash));
  EXPECT_EQ(started.back(), (std::vector<std::string>{"xdg-open", "trash:///"}));
  // A name with no CP932 form opens by the file URI of its own bytes.
  MakeFile(Os("한.rut"));
  Pidl korean(ListOf(Root() + "/" + *FromOsPathEscaped("한.rut")));
  EXPECT_TRUE(ShellOpenItem(korean));
  EXPECT_EQ(started.back(), (std::vector<std::string>{"xdg-open", "file://" + Root() + "/%ED%95%9C.rut"}));
  SetStartProgramHook(nullptr);
}

TEST_F(ShellFileList, SortingKeepsSelectionAndFocusAndTellsTheTotalOnce) {
  MakeDir(Os("d/zfolder"));
  const char* names[] = {"c.txt", "a.rut", "B.doc", "d"};
  const int sizes[] = {3000, 10, 2000, 0};
  for (int i = 0; i < 4; ++i) {
    MakeFile(Os(std::string("d/") + names[i]), std::string(static_cast<std::size_t>(sizes[i]), 'x'));
    SetTime(Os(std::string("d/") + names[i]), 1000000000 + (i * 7 % 4) * 3600);
  }
  ASSERT_EQ(::chmod(Os("d/c.txt").c_str(), 0444), 0);
  TShellFileList& list = Make();
  Show(Cp("d"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"zfolder", "a.rut", "B.doc", "c.txt", "d"}));
  list.SetSelected(IndexOf("B.doc"), IndexOf("c.txt"), true);
  list.SetFocused(IndexOf("c.txt"));
  EXPECT_EQ(lastTotal_, 5000u);

  struct Case {
    int column;
    std::vector<std::string> ascending;
  };
  const Case cases[] = {
      {lcSize, {"zfolder", "d", "a.rut", "B.doc", "c.txt"}},
      {lcType, {"zfolder", "d", "B.doc", "a.rut", "c.txt"}},
      {lcModified, {"zfolder", "c.txt", "d", "B.doc", "a.rut"}},
      {lcAttributes, {"zfolder", "a.rut", "B.doc", "d", "c.txt"}},
      {lcName, {"zfolder", "a.rut", "B.doc", "c.txt", "d"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> descending(c.ascending.rbegin(), c.ascending.rend());
    for (const auto& expected : {descending, c.ascending}) {
      selChanges_ = 0;
      list.ColumnClick(c.column);  // the first click sorts descending
      EXPECT_EQ(Names(), expected) << "column " << c.column;
      std::vector<std::string> sel = Selected();
      std::sort(sel.begin(), sel.end());
      EXPECT_EQ(sel, (std::vector<std::string>{"B.doc", "c.txt"})) << "column " << c.column;
      EXPECT_EQ(list.FocusedIndex(), IndexOf("c.txt"));
      EXPECT_EQ(selChanges_, 1);
      EXPECT_EQ(lastTotal_, 5000u);
    }
  }
}

TEST_F(ShellFileList, TheSelectionTotalIs64BitAndFollowsTheActualSelection) {
  MakeDir(Os("d"));
  MakeFile(Os("d/small"), "12345");
  const int fd = ::open(Os("d/huge").c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(5 * kGiB)), 0);  // sparse
  ::close(fd);
  TShellFileList& list = Make();
  Show(Cp("d"));
  list.SelectAll(true);
  EXPECT_EQ(lastTotal_, 5 * kGiB + 5);
  EXPECT_EQ(list.ItemAt(IndexOf("huge"))->SizeText(), "5,242,880KB");
  list.SetSelected(IndexOf("huge"), IndexOf("huge"), false);
  EXPECT_EQ(lastTotal_, 5u);
  list.SelectAll(true);
  list.RemoveSelected();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.SelectionTotal(), 0u);
  EXPECT_EQ(lastTotal_, 0u);
}

TEST_F(ShellFileList, TypeAheadFindsANameByItsMiddleAndFindByTextDataAndPoint) {
  MakeDir(Os("d"));
  for (const char* name : {"abc", "xbz", "bcd", "bc", "ＡＢ", "ア", "한국어.rut"}) MakeFile(Os(std::string("d/") + name));
  TShellFileList& list = Make();
  Show(Cp("d"));
  const std::string korean = *FromOsPathEscaped("한국어.rut");
  // In the order of the names on disk (UTF-8).
  ASSERT_EQ(Names(), (std::vector<std::string>{"abc", "bc", "bcd", "xbz", sj("ア"), korean, sj("ＡＢ")}));
  auto find = [&](TShellFileList::TShellFindKind kind, const std::string& text, int start, bool wrap) {
    TShellFileList::TShellFindInfo info;
    info.Kind = kind;
    info.Text = text;
    info.Wrap = wrap;
    return list.FindItem(info, start);
  };
  using L = TShellFileList;
  // Type-ahead: a name that holds the text anywhere.
  EXPECT_EQ(find(L::fkPartial, "B", 0, true), 0);
  EXPECT_EQ(find(L::fkPartial, "bz", 0, true), 3);
  EXPECT_EQ(find(L::fkPartial, "CD", 0, true), 2);
  EXPECT_EQ(find(L::fkPartial, *FromOsPathEscaped("국"), 0, true), 5);  // a name with no CP932 form too
  // The other text search: a name that begins with it.
  EXPECT_EQ(find(L::fkExact, "B", 0, true), 1);
  EXPECT_EQ(find(L::fkExact, "bcd", 0, true), 2);
  EXPECT_EQ(find(L::fkExact, "bz", 0, true), -1);
  // From the start on, round only with wrap, each item once.
  EXPECT_EQ(find(L::fkPartial, "a", 1, true), 0);
  EXPECT_EQ(find(L::fkPartial, "a", 1, false), -1);
  EXPECT_EQ(find(L::fkPartial, "q", 0, true), -1);
  EXPECT_EQ(find(L::fkPartial, sj("ａｂ"), 0, true), 6);  // full-width letters fold too
  // "ア" is 83 41: its trail byte is no "A", and "ヂ" (83 61) folded byte
  // by byte would be "ア".
  EXPECT_EQ(find(L::fkPartial, "A", 4, false), -1);
  EXPECT_EQ(find(L::fkPartial, sj("ヂ"), 0, true), -1);

  TShellFileList::TShellFindInfo byData;
  byData.Kind = L::fkData;
  byData.Data = list.ItemAt(3);
  EXPECT_EQ(list.FindItem(byData, 0), 3);
  byData.Kind = L::fkNearest;  // the views find the nearest item themselves
  EXPECT_EQ(list.FindItem(byData, 0), -1);

  // Qt's own search over the model goes the same way.
  TShellListModel model(list);
  auto rowOf = [&](const QModelIndexList& hits) { return hits.isEmpty() ? -1 : hits[0].row(); };
  EXPECT_EQ(rowOf(model.match(model.index(0, 0), Qt::DisplayRole, QStringLiteral("bz"), 1,
                              Qt::MatchContains | Qt::MatchWrap)),
            3);
  EXPECT_EQ(rowOf(model.match(model.index(0, 0), Qt::DisplayRole, QStringLiteral("b"), 1, Qt::MatchStartsWith)), 1);
  EXPECT_EQ(rowOf(model.match(model.index(0, 0), TShellListModel::ItemRole,
                              QVariant::fromValue(reinterpret_cast<quintptr>(list.ItemAt(5))), 1, Qt::MatchExactly)),
            5);
}

TEST_F(ShellFileList, NamesComeFirstAndTheDetailsAndTheSortFollow) {
  MakeDir(Os("d"));
  for (int i = 0; i < 60; ++i) {
    const std::string name = Os("d/f" + std::to_string(100 + i));
    MakeFile(name, std::string(static_cast<std::size_t>((i * 37) % 60), 'x'));
  }
  TShellFileList& list = Make({{60}, 10});
  Show(Cp("d"));
  list.ColumnClick(lcSize);  // descending by size, from now on
  Show(Cp("d/.."));
  Show(Cp("d"));
  ASSERT_EQ(list.Count(), 60);
  // Before the details: by name.
  EXPECT_TRUE(list.DetailsPending());
  ASSERT_TRUE(WaitUntil("the details of every item", [&] { return !list.DetailsPending(); }));
  for (int i = 0; i < 60; ++i) EXPECT_FALSE(list.ItemAt(i)->DetailsPending());
  for (int i = 1; i < 60; ++i) EXPECT_GE(list.ItemAt(i - 1)->FileSize(), list.ItemAt(i)->FileSize()) << i;
  EXPECT_EQ(list.ItemAt(0)->FileSize(), 59u);
}

TEST_F(ShellFileList, ChangesOnDiskReachTheListAfterTheQuietPeriod) {
  MakeDir(Os("d/sub"));
  MakeFile(Os("d/a"), "1");
  MakeFile(Os("d/b"), "22");
  TShellFolderTree tree({60, 40});
  tree.BuildRoot();
  TShellFileList& list = Make();
  tree.SetShellListView(&list);
  tree.SetSelectedPath(Os("d"));
  ASSERT_EQ(list.FolderPath(), Os("d"));
  list.SetSelected(IndexOf("b"), IndexOf("b"), true);
  // Both watchers, of names and of details, armed on the folder.
  ASSERT_TRUE(WaitUntil("the watchers on the folder", [&] {
    const uint32_t mask = InotifyMaskOf(Os("d"));
    return (mask & IN_MOVED_TO) != 0 && (mask & IN_MODIFY) != 0;
  }));

  // A new file joins; the selection stays. It arrives whole, by rename, so
  // that a busy machine cannot split its creation and its writing into two
  // reports.
  listChanges_ = 0;
  MakeFile(Os("d/sub/c"), "333");
  ASSERT_EQ(std::rename(Os("d/sub/c").c_str(), Os("d/c").c_str()), 0);
  ASSERT_TRUE(WaitUntil("the new file in the list", [&] { return IndexOf("c") >= 0; }));
  EXPECT_EQ(Selected(), std::vector<std::string>{"b"});
  EXPECT_EQ(listChanges_, 1);

  // A size that changes repaints that row; the rows stay.
  MakeFile(Os("d/a"), std::string(4000, 'x'));
  ASSERT_TRUE(WaitUntil("the new size", [&] { return list.ItemAt(IndexOf("a"))->SizeText() == "4KB"; }));
  EXPECT_EQ(list.Count(), 4);

  // While a button is held on an item the report waits; on release it runs.
  list.RightButtonDown(true, 5, 5);
  ::unlink(Os("d/c").c_str());
  list.FilesChanged(list.NamesWatcher(), Os("d"));
  EXPECT_GE(IndexOf("c"), 0);
  list.RightButtonUp();
  EXPECT_EQ(list.DragState(), dsIdle);
  EXPECT_EQ(IndexOf("c"), -1);

  // Opening a folder browses there and the tree follows.
  list.ExecuteItem(IndexOf("sub"));
  EXPECT_EQ(list.FolderPath(), Os("d/sub"));
  EXPECT_EQ(tree.GetSelectedPath(), Os("d/sub"));

  // The folder shown goes: the list shows the tree's folder.
  RemoveAll(Os("d/sub"));
  ASSERT_TRUE(WaitUntil("the list on the tree's folder", [&] { return list.FolderPath() == Os("d"); }));
  EXPECT_EQ(tree.GetSelectedPath(), Os("d"));
  tree.SetShellListView(nullptr);
}

}  // namespace
}  // namespace tavo::test
