// Times the external search as the program runs it, without a window: from
// the folder confirmed with OK (the documents collected, subfolders
// included) through the page-fill loop, pages of 30 rows, to the end row;
// the converter is the library's, called as the program calls it, and so
// is its answer to which cells write the word's characters. Beside it,
// in the same run, the converter alone converts the same braille lines once
// each, from memory. The two are timed in alternating pairs; each pair
// prints one line, and the last line the medians:
//   pair <i>: search <ms> (<MB/s>), converter alone <ms> (<MB/s>), ratio <r>
//   median of <n> pairs: search <MB/s>, converter alone <MB/s>, ratio <r>
// MB are 10^6 bytes of braille lines (line ends and headers not counted).
// Usage: tavo_bench_gaibusearch <folder> <word (UTF-8)> [pairs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "convlib/Tavo32Lib.h"
#include "dictool/Cp932Texts.h"
#include "dictool/GaibuFiles.h"
#include "dictool/GaibuSearchEngine.h"
#include "dictool/PageFill.h"
#include "platform/files/Files.h"
#include "platform/text/Cp932.h"
#include "tests/bench/PrintedFailures.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPageRows = 30;
constexpr uint16_t kOption = 0x0100;  // the program's

struct Rows : tavo::RowSink, tavo::bench::PrintedFailures {
  void AddRow(std::string_view, const tavo::THitLine*) override { ++rows; }
  size_t rows = 0;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The processor time of this thread (the kernel's reading of the files
// included), which a busy machine's other work does not add to.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The search from OK to its end row; returns the rows it showed.
size_t Search(const std::string& folder, const std::string& word) {
  Rows rows;
  // The window's pump: a real pass of the event loop at most every few
  // milliseconds, the clock read every 64 lines.
  unsigned calls = 0;
  Clock::time_point lastPass{};
  const auto pump = [&] {
    if ((++calls & 63) != 0) return;
    const Clock::time_point now = Clock::now();
    if (now - lastPass > std::chrono::milliseconds(4)) lastPass = now;
  };
  const tavo::DocumentList documents = tavo::CollectDocuments(folder, true);
  if (documents.Files.empty()) return 0;
  tavo::SearchSession session;
  tavo::GaibuSearchEngine engine(session, rows, tavo::LineConverter(CnvNABCCtoKANA, kOption, CnvSourceCells));
  if (!engine.FirstFileExists(documents.Files)) return 0;
  engine.Start(documents.Files, word, rows);
  tavo::FillEnd end;
  do end = tavo::FillPage(session, engine, rows, kPageRows, pump);
  while (end == tavo::FillEnd::Paused);
  rows.AddRow(tavo::sj::SearchEndRow, nullptr);
  return rows.rows;
}

// The braille lines of the documents, each followed by a NUL, and where
// each begins.
struct Lines {
  std::string bytes;
  std::vector<size_t> starts;
};

Lines ReadLines(const std::vector<std::string>& files) {
  Lines out;
  for (const std::string& f : files) {
    std::string doc;
    if (tavo::ReadWholeFile(f, doc) != 0) continue;
    size_t at = doc.find('\n');  // the header's line is no braille line
    while (at != std::string::npos && at + 1 < doc.size()) {
      const size_t begin = at + 1;
      at = doc.find('\n', begin);
      size_t end = at == std::string::npos ? doc.size() : at;
      if (end > begin && doc[end - 1] == '\r') --end;
      out.starts.push_back(out.bytes.size());
      out.bytes.append(doc, begin, end - begin);
      out.bytes += '\0';
    }
  }
  return out;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <folder> <word> [pairs]\n", argv[0]);
    return 2;
  }
  const auto folder = tavo::Utf8ToCp932(argv[1]);
  const auto word = tavo::Utf8ToCp932(argv[2]);
  if (!folder || !word) return 2;
  const int pairs = argc > 3 ? std::atoi(argv[3]) : 9;
  TavoLibInitialize();

  const Lines lines = ReadLines(tavo::CollectDocuments(*folder, true).Files);
  const double mb = static_cast<double>(lines.bytes.size() - lines.starts.size()) / 1e6;
  std::printf("%zu braille lines, %.1f MB\n", lines.starts.size(), mb);

  std::vector<double> search, alone, ratio, cpuRatio;
  for (int pair = 1; pair <= pairs; ++pair) {
    Clock::time_point start = Clock::now();
    double cpu = CpuMs();
    const size_t rows = Search(*folder, *word);
    const double s = Ms(Clock::now() - start);
    const double sCpu = CpuMs() - cpu;

    start = Clock::now();
    cpu = CpuMs();
    size_t kana = 0;
    for (const size_t at : lines.starts) {
      char* text = nullptr;
      kana += static_cast<size_t>(CnvNABCCtoKANA(lines.bytes.data() + at, &text, kOption));
    }
    const double c = Ms(Clock::now() - start);
    const double cCpu = CpuMs() - cpu;

    std::printf("pair %d: search %.1f ms (%.1f MB/s, %zu rows), converter alone %.1f ms (%.1f MB/s, %zu bytes), "
                "ratio %.3f, on the processor %.3f\n",
                pair, s, mb / s * 1e3, rows, c, mb / c * 1e3, kana, s / c, sCpu / cCpu);
    search.push_back(mb / s * 1e3);
    alone.push_back(mb / c * 1e3);
    ratio.push_back(s / c);
    cpuRatio.push_back(sCpu / cCpu);
  }
  std::printf("median of %d pairs: search %.1f MB/s, converter alone %.1f MB/s, ratio %.3f, on the processor %.3f\n",
              pairs, Median(search), Median(alone), Median(ratio), Median(cpuRatio));
  TavoLibTerminate();
  return 0;
}
