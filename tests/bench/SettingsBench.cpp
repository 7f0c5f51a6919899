// The settings file with 200 searched and 200 not-searched dictionaries:
// the start-up load, a save in which both lists changed, and, for
// comparison, the same keys written one at a time as single-key writes do.
// Each save reports its fsyncs ("fsyncs/save").
//
// The file lies in a fresh folder under $TMPDIR (default /tmp), on the disk
// that folder is on, and is removed at the end.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dictool/Cp932Texts.h"
#include "dictool/SettingsFile.h"
#include "platform/files/Files.h"
#include "platform/files/PrivateProfile.h"

namespace {

constexpr int kDictionaries = 200;

std::string g_file;

std::vector<std::string> Paths(const std::string& folder, int shift) {
  std::vector<std::string> out;
  for (int i = 0; i < kDictionaries; ++i)
    out.push_back("/home/user/dictionaries/" + folder + "/dic" + std::to_string((i + shift) % kDictionaries) + ".dic");
  return out;
}

// Both lists change on every save: the largest save the program makes.
tavo::TSettings Variant(int n) {
  tavo::TSettings s;
  s.SearchDicList = Paths("searched", n);
  s.NotSearchDicList = Paths("other", n);
  s.WriteDic = "/home/user/dictionaries/write.dic";
  return s;
}

void ReportSyncs(benchmark::State& state, unsigned long long before) {
  state.counters["fsyncs/save"] =
      static_cast<double>(tavo::SyncCount() - before) / static_cast<double>(state.iterations());
}

void BM_LoadSettings(benchmark::State& state) {
  tavo::TSettingsFile(g_file).Save(Variant(0));
  for (auto _ : state) {
    tavo::TSettings s;
    tavo::TSettingsFile f(g_file);
    if (f.Load(s) != 0 || s.SearchDicList.size() != kDictionaries) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

void BM_SaveSettings(benchmark::State& state) {
  tavo::TSettingsFile f(g_file);
  tavo::TSettings s;
  f.Load(s);
  int n = 0;
  const unsigned long long before = tavo::SyncCount();
  for (auto _ : state) f.Save(Variant(++n));
  ReportSyncs(state, before);
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

// What a save cost when every key was a write of its own.
void BM_SaveKeyByKey(benchmark::State& state) {
  int n = 0;
  const unsigned long long before = tavo::SyncCount();
  for (auto _ : state) {
    const tavo::TSettings s = Variant(++n);
    for (const auto& [section, list] : {std::pair{tavo::sj::SecSearchDics, &s.SearchDicList},
                                        std::pair{tavo::sj::SecNotSearchDics, &s.NotSearchDicList}}) {
      tavo::WritePrivateProfileString(section, tavo::sj::KeyFileCount, std::to_string(list->size()), g_file);
      for (size_t i = 0; i < list->size(); ++i)
        tavo::WritePrivateProfileString(section, std::string(tavo::sj::KeyFileName) + std::to_string(i), (*list)[i],
                                        g_file);
    }
    tavo::WritePrivateProfileString(tavo::sj::SecWriteDic, tavo::sj::KeyFileName, s.WriteDic, g_file);
  }
  ReportSyncs(state, before);
}
BENCHMARK(BM_SaveKeyByKey)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-bench-settings-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return 1;
  g_file = folder + "/tavodic.ini";
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
