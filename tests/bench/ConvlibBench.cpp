// Conversion throughput of libTavo32Lib through CnvNABCCtoKANA, the way the
// dictionary tool calls it: one braille line at a time. The counter "MB"
// reports megabytes (10^6 bytes) of NABCC input per second on one core, on
// three inputs: lines as a braille page holds them, the running text of a
// document that `tavo_gen rute` writes, and 40-byte lines built from the
// forms of every rule (FormLines.h). Each runs with the dictionary tool's
// option (0x0100) and with cells kept (0x0001).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "convlib/Tavo32Lib.h"
#include "tests/convlib/FormLines.h"
#include "tools/gen/BrailleText.h"

namespace {

// Lines as a braille page holds them: kana with voiced and contracted sounds,
// numbers, blanks between words, brackets and a few symbols.
std::vector<std::string> PageLines() {
  return {
      "-\"<0[C\"Q @T<0 #AJJJ ZB4- ;,ABC",
      "@*3L \"*@?G3M ,UK7 #BJ\"Q \"UAW3",
      "#C*#D #E5#F <\"? \\\"O Y<]4 @T\"O",
      "ISDAB \\\"V\"OC $V3 7#AIHB7 0\"OM4",
      "-@WC\"TR0- \"XZ! ,X3 @:\"[3 IN$V4",
      ":A\"Q ;IKO \"\\OS1>O $3 NAK0\"*5",
      "[33O #A'JJJ\"* SD\"X\"\\G M<KD4",
      "@%C&B ^? @[3 \"*@W?< \"UL S\"O4 7",
      "M[S\"TR\"Q [1O<D ,VJ #AB:0 Q4",
      "8ABC,D0 \"Q @\\RCA A:W3 .U?4",
      "\"VCH 5* 4U #G\"* \"\\C$+ 0\"Q4 111",
      "K!@?K PIVH A1O3 \"%0\"Q 9 -AB-4",
  };
}

// The braille lines of a generated document (the generator's own text, the
// seed of `tavo_gen rute --seed 1`), empty lines between paragraphs included.
std::vector<std::string> DocumentLines() {
  tavo::gen::BrailleText text(1);
  std::vector<std::string> lines(4096);
  for (std::string& line : lines) text.NextLine(line);
  return lines;
}

std::vector<std::string> MixedLines() {
  tavo::test::FormLines forms(1);
  std::vector<std::string> lines(4096);
  for (std::string& line : lines) line = forms.Line(40);
  return lines;
}

void Convert(benchmark::State& state, const std::vector<std::string>& lines) {
  TavoLibInitialize();
  const auto option = static_cast<uint16_t>(state.range(0));
  int64_t bytes = 0;
  for (const std::string& line : lines) bytes += static_cast<int64_t>(line.size());
  for (auto _ : state) {
    for (const std::string& line : lines) {
      char* result = nullptr;
      benchmark::DoNotOptimize(CnvNABCCtoKANA(line.c_str(), &result, option));
      benchmark::DoNotOptimize(result);
    }
  }
  state.counters["MB"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * static_cast<double>(bytes) / 1e6,
                         benchmark::Counter::kIsRate);
  TavoLibTerminate();
}

void ConvertPageLines(benchmark::State& state) {
  static const std::vector<std::string> lines = PageLines();
  Convert(state, lines);
}

void ConvertDocument(benchmark::State& state) {
  static const std::vector<std::string> lines = DocumentLines();
  Convert(state, lines);
}

void ConvertMixedLines(benchmark::State& state) {
  static const std::vector<std::string> lines = MixedLines();
  Convert(state, lines);
}

// 0x0100: the dictionary tool's option; 0x0001: cells kept.
BENCHMARK(ConvertPageLines)->Arg(0x0100)->Arg(0x0001);
BENCHMARK(ConvertDocument)->Arg(0x0100)->Arg(0x0001);
BENCHMARK(ConvertMixedLines)->Arg(0x0100)->Arg(0x0001);

}  // namespace

BENCHMARK_MAIN();
