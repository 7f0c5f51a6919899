// Times the dictionary search as the program runs it, without a window: a
// session, the page-fill loop with a pump that reads the clock as the
// window's does, pages of 30 rows, from the start of the search to its end
// row. Prints one line per run:
//   first page: <ms> (<rows> rows)   the time to the first page
//   end: <ms> (<rows> rows)          the time to the end row
// Usage: tavo_bench_dicsearch <dictionary> <word (UTF-8)> first|end [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dictool/Cp932Texts.h"
#include "dictool/DicSearchEngine.h"
#include "dictool/PageFill.h"
#include "platform/text/Cp932.h"
#include "tests/bench/PrintedFailures.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPageRows = 30;

struct Rows : tavo::RowSink, tavo::bench::PrintedFailures {
  void AddRow(std::string_view text, const tavo::THitLine*) override { rows.emplace_back(text); }
  std::vector<std::string> rows;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <dictionary> <word> first|end [runs]\n", argv[0]);
    return 2;
  }
  const auto word = tavo::Utf8ToCp932(argv[2]);
  if (!word) return 2;
  const bool firstOnly = std::strcmp(argv[3], "first") == 0;
  const int runs = argc > 4 ? std::atoi(argv[4]) : 1;
  const std::vector<std::string> files = {argv[1]};
  for (int run = 0; run < runs; ++run) {
    Rows rows;
    Clock::time_point lastPump{};
    const auto pump = [&] {
      const Clock::time_point now = Clock::now();
      if (now - lastPump > std::chrono::milliseconds(4)) lastPump = now;
    };
    const Clock::time_point start = Clock::now();
    tavo::SearchSession session;
    tavo::DicSearchEngine engine(session, rows, [](const char* line) { return std::string_view(line); });
    if (!engine.FirstFileExists(files)) return 1;
    engine.Start(files, *word, rows);
    tavo::FillEnd end;
    do {
      end = tavo::FillPage(session, engine, rows, kPageRows, pump);
    } while (!firstOnly && end == tavo::FillEnd::Paused);
    if (end == tavo::FillEnd::Ended) rows.AddRow(tavo::sj::SearchEndRow, nullptr);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf("%s: %.3f ms (%zu rows)\n", firstOnly ? "first page" : "end", ms, rows.rows.size());
  }
  return 0;
}
