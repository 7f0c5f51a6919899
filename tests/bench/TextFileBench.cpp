// The ceiling of the dictionary search's reader: TextFile::ReadLine over a
// 100 MB dictionary of 5 million 20-byte CP932 lines (18 bytes of kana and
// CR LF), read from the page cache.
//
// The file is $TAVO_BENCH_DICT when that is set (made there when missing and
// kept, so that other tools can be timed on the same bytes), else a temporary
// file that is removed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/files/TextFile.h"

namespace {

constexpr long kLines = 5'000'000;
constexpr long kLineBytes = 20;

// Nine hiragana (82 9F .. 82 F1) from a fixed pseudo-random sequence, then
// CR LF: varied like real entries, and the same bytes on every run.
void MakeDictionary(const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::string line(kLineBytes, '\0');
  uint64_t state = 0x9E3779B97F4A7C15u;
  for (long i = 0; i < kLines; ++i) {
    for (int c = 0; c < 9; ++c) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      line[2 * c] = '\x82';
      line[2 * c + 1] = static_cast<char>(0x9F + (state >> 33) % 83);
    }
    line[18] = '\r';
    line[19] = '\n';
    out.write(line.data(), kLineBytes);
  }
}

std::string g_path;
bool g_temporary = false;

bool HasFullSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in && static_cast<long>(in.tellg()) == kLines * kLineBytes;
}

void BM_ReadLine(benchmark::State& state) {
  tavo::TextFile file;
  std::string line;
  long lines = 0;
  for (auto _ : state) {
    if (file.OpenRead(g_path) != 0) {
      state.SkipWithError("cannot open the dictionary");
      return;
    }
    lines = 0;
    while (!file.Eof()) {
      file.ReadLine(line);
      ++lines;
    }
    benchmark::DoNotOptimize(line.data());
    file.Close();
  }
  if (lines != kLines) state.SkipWithError("wrong line count");
  state.SetBytesProcessed(state.iterations() * kLines * kLineBytes);
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ReadLine)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (const char* p = std::getenv("TAVO_BENCH_DICT"); p != nullptr && *p != '\0') {
    g_path = p;
  } else {
    const char* tmp = std::getenv("TMPDIR");
    g_path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-bench-" +
             std::to_string(::getpid()) + ".dic";
    g_temporary = true;
  }
  if (!HasFullSize(g_path)) MakeDictionary(g_path);
  std::fprintf(stderr, "dictionary: %s\n", g_path.c_str());

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_temporary) std::remove(g_path.c_str());
  return 0;
}
