// The shell namespace on a folder of 100,000 files and 100 subfolders:
// enumeration with find data, the attributes of every item, a sort by name,
// size and date on the folder's sort keys, and the expansion of
// the folder's parent, and of the folder, in a folder tree. Runs headless
// (QT_QPA_PLATFORM=offscreen): the tree's watcher needs an application.
//
// The file list on the same folder: the time to its first screen of names
// (in the list without a window, and painted in a report view), to all its
// columns filled (the details read by its worker), and to a sort by size
// and by date once the details are in.
//
// The folder is $TAVO_BENCH_FOLDER when that is set (made there when missing
// and kept), else a temporary folder removed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <QHeaderView>
#include <QTreeView>

#include "folderbrowse/ZuShellFileList.h"
#include "folderbrowse/ZuShellFolderTree.h"
#include "folderbrowse/ZuShellListView.h"
#include "platform/shell/ShellNamespace.h"
#include "platform/shell/ShellSortKeys.h"
#include "platform/shell/UniquePIDL.h"
#include "platform/ui/Application.h"
#include "platform/ui/UiThreadCall.h"

namespace {

constexpr int kFiles = 100'000;
constexpr int kFolders = 100;

std::string g_parent;  // holds the big folder "big" and a few siblings
std::string BigFolder() { return g_parent + "/big"; }

void MakeFolder(const std::string& parent) {
  const std::string big = parent + "/big";
  if (std::filesystem::exists(big + "/.complete")) return;
  std::filesystem::create_directories(big);
  for (const char* sibling : {"alpha", "beta", "gamma"}) std::filesystem::create_directories(parent + "/" + sibling);
  std::vector<int> order(kFiles + kFolders);
  for (int i = 0; i < static_cast<int>(order.size()); ++i) order[static_cast<std::size_t>(i)] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  for (const int i : order) {
    char name[32];
    if (i >= kFiles) {
      std::snprintf(name, sizeof name, "/folder%03d", i - kFiles);
      ::mkdir((big + name).c_str(), 0755);
      continue;
    }
    std::snprintf(name, sizeof name, "/file%06d.rut", i);
    const int fd = ::open((big + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) continue;
    // Sizes and times out of step with the names, so that each sort works.
    if (::ftruncate(fd, (i * 7919) % 5000) != 0) std::perror("ftruncate");
    const struct timespec t[2] = {{1'600'000'000 + (i * 104729) % 1'000'000, 0},
                                  {1'600'000'000 + (i * 104729) % 1'000'000, 0}};
    ::futimens(fd, t);
    ::close(fd);
  }
  ::close(::open((big + "/.complete").c_str(), O_WRONLY | O_CREAT, 0644));
}

tavo::ShellFolderPtr BigShellFolder() {
  tavo::PItemIDList raw = nullptr;
  tavo::ShellGetDesktopFolder()->ParseDisplayName(BigFolder(), raw);
  tavo::UniquePIDL list(raw);
  return tavo::ShellGetDesktopFolder()->BindToObject(list.get());
}

std::vector<tavo::UniquePIDL> Enumerate(tavo::ShellFolder& folder, bool findData) {
  std::vector<tavo::UniquePIDL> items;
  items.reserve(kFiles + kFolders);
  auto e = folder.EnumObjects(tavo::SHCONTF_FOLDERS | tavo::SHCONTF_NONFOLDERS);
  tavo::ShellFindData fd;
  for (tavo::PItemIDList item = nullptr; e->Next(item, findData ? &fd : nullptr);) items.emplace_back(item);
  return items;
}

constexpr std::uint32_t kAsked = tavo::SFGAO_CAPABILITYMASK | tavo::SFGAO_FOLDER | tavo::SFGAO_FILESYSTEM |
                                 tavo::SFGAO_HIDDEN | tavo::SFGAO_READONLY | tavo::SFGAO_LINK;

std::size_t AskAttributes(tavo::ShellFolder& folder, const std::vector<tavo::UniquePIDL>& items) {
  std::size_t folders = 0;
  for (const tavo::UniquePIDL& item : items) {
    std::uint32_t a = kAsked;
    const tavo::IDListSpan span = item.span();
    if (folder.GetAttributesOf({&span, 1}, a) && (a & tavo::SFGAO_FOLDER) != 0) ++folders;
  }
  return folders;
}

void BM_EnumerateWithFindData(benchmark::State& state) {
  auto folder = BigShellFolder();
  for (auto _ : state) benchmark::DoNotOptimize(Enumerate(*folder, true).size());
}
BENCHMARK(BM_EnumerateWithFindData)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AttributesOfEveryItem(benchmark::State& state) {
  auto folder = BigShellFolder();
  const auto items = Enumerate(*folder, false);
  for (auto _ : state) {
    if (AskAttributes(*folder, items) != kFolders) state.SkipWithError("wrong folder count");
  }
}
BENCHMARK(BM_AttributesOfEveryItem)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EnumerateWithAttributes(benchmark::State& state) {
  auto folder = BigShellFolder();
  for (auto _ : state) {
    const auto items = Enumerate(*folder, true);
    benchmark::DoNotOptimize(AskAttributes(*folder, items));
  }
}
BENCHMARK(BM_EnumerateWithAttributes)->Unit(benchmark::kMillisecond)->Iterations(5);

// column 0 name, 1 size, 3 date.
void BM_SortBy(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  auto folder = BigShellFolder();
  const auto items = Enumerate(*folder, false);
  std::vector<tavo::IDListSpan> spans;
  for (const auto& item : items) spans.push_back(item.span());
  for (auto _ : state) {
    const std::vector<std::size_t> order = tavo::ShellSortOrder(*folder, column, spans, false);
    benchmark::DoNotOptimize(order.data());
  }
}
BENCHMARK(BM_SortBy)->Arg(0)->Arg(1)->Arg(3)->ArgName("column")->Unit(benchmark::kMillisecond)->Iterations(5);

// A fresh tree whose selection is `folder` (its ancestors expanded, the
// folder itself not yet), timed while that folder's node expands.
void ExpandFolder(benchmark::State& state, const std::string& folder) {
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = std::make_unique<tavo::TShellFolderTree>();
    tree->BuildRoot();
    tree->SetSelectedPath(folder);
    tavo::TShellFolderNode* node = tree->Selected();
    state.ResumeTiming();
    if (!tree->Expand(node)) state.SkipWithError("did not expand");
    benchmark::DoNotOptimize(node->Count());
    state.PauseTiming();
    tree.reset();
    state.ResumeTiming();
  }
}

// The parent holds the big folder: its has-subfolder mark is read.
void BM_ExpandParentInTree(benchmark::State& state) { ExpandFolder(state, g_parent); }
BENCHMARK(BM_ExpandParentInTree)->Unit(benchmark::kMillisecond)->Iterations(5);

// The big folder itself: its 100 folders among 100,000 files.
void BM_ExpandBigFolderInTree(benchmark::State& state) { ExpandFolder(state, BigFolder()); }
BENCHMARK(BM_ExpandBigFolderInTree)->Unit(benchmark::kMillisecond)->Iterations(5);

tavo::UniquePIDL BigFolderList() {
  tavo::PItemIDList raw = nullptr;
  tavo::ShellGetDesktopFolder()->ParseDisplayName(BigFolder(), raw);
  return tavo::UniquePIDL(raw);
}

bool WaitForDetails(tavo::TShellFileList& list) {
  return tavo::ui::WaitServingUiThreadCalls([&] { return !list.DetailsPending(); }, std::chrono::seconds(60));
}

constexpr int kScreenRows = 40;

// From the browse to the names (and icons) of the first screen.
void BM_ListFirstScreen(benchmark::State& state) {
  const tavo::UniquePIDL folder = BigFolderList();
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<tavo::TShellFileList>();
    state.ResumeTiming();
    list->Browse(folder.get());
    list->CacheHint(0, kScreenRows - 1);
    if (list->Count() < kFiles + kFolders) {
      state.SkipWithError("wrong count");
      break;
    }
    state.PauseTiming();
    WaitForDetails(*list);
    list.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// From the browse to the end of the details read: every column filled.
void BM_ListAllColumns(benchmark::State& state) {
  const tavo::UniquePIDL folder = BigFolderList();
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<tavo::TShellFileList>();
    state.ResumeTiming();
    list->Browse(folder.get());
    if (!WaitForDetails(*list)) {
      state.SkipWithError("details did not come");
      break;
    }
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListAllColumns)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// A header click with all details in, half the rows selected: the sort and
// the carrying over of selection and focus.
void BM_ListSort(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  const tavo::UniquePIDL folder = BigFolderList();
  auto list = std::make_unique<tavo::TShellFileList>();
  list->Browse(folder.get());
  WaitForDetails(*list);
  list->SetSelected(0, list->Count() / 2, true);
  for (auto _ : state) list->ColumnClick(column);
  if (list->SelectedCount() != list->Count() / 2 + 1) state.SkipWithError("selection lost");
}
BENCHMARK(BM_ListSort)->Arg(tavo::lcSize)->Arg(tavo::lcModified)->ArgName("column")->Unit(benchmark::kMillisecond)
    ->Iterations(6);

// The same in the control: from the browse to the first screen painted in
// a report view of 800 x 600 pixels.
void BM_ListViewFirstScreen(benchmark::State& state) {
  const tavo::UniquePIDL folder = BigFolderList();
  for (auto _ : state) {
    state.PauseTiming();
    auto view = std::make_unique<tavo::TZuShellListView>();
    view->SetViewStyle(tavo::vsReport);
    view->resize(800, 600);
    view->show();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    view->List().Browse(folder.get());
    benchmark::DoNotOptimize(view->ReportView()->viewport()->grab());
    state.PauseTiming();
    WaitForDetails(view->List());
    view.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ListViewFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  tavo::ui::TApplication app(argc, argv);
  const char* given = std::getenv("TAVO_BENCH_FOLDER");
  std::string made;
  if (given != nullptr && *given != '\0') {
    g_parent = given;
  } else {
    const char* tmp = std::getenv("TMPDIR");
    made = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-bench-XXXXXX";
    if (::mkdtemp(made.data()) == nullptr) return 1;
    g_parent = made;
  }
  MakeFolder(g_parent);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  if (!made.empty()) std::filesystem::remove_all(made, ec);
  return 0;
}
