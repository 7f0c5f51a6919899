// Conversion throughput of libTavo32Lib through CnvNABCCtoKANA, the way the
// dictionary tool calls it: one braille line of about 32 cells at a time.
// Reports bytes of NABCC input per second on one core.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "convlib/Tavo32Lib.h"

namespace {

// Lines as a braille page holds them: kana with voiced and contracted sounds,
// numbers, blanks between words, brackets and a few symbols.
constexpr const char* kPageLines[] = {
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

int64_t PageBytes() {
  int64_t n = 0;
  for (const char* line : kPageLines) n += static_cast<int64_t>(std::strlen(line));
  return n;
}

void ConvertPageLines(benchmark::State& state) {
  TavoLibInitialize();
  const auto option = static_cast<uint16_t>(state.range(0));
  for (auto _ : state) {
    for (const char* line : kPageLines) {
      char* result = nullptr;
      benchmark::DoNotOptimize(CnvNABCCtoKANA(line, &result, option));
      benchmark::DoNotOptimize(result);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * PageBytes());
  TavoLibTerminate();
}
// 0x0100: the dictionary tool's option; 0x0001: cells kept.
BENCHMARK(ConvertPageLines)->Arg(0x0100)->Arg(0x0001);

// Plain kana and blanks only: every cell goes straight to the kana table.
void ConvertPlainKanaLine(benchmark::State& state) {
  TavoLibInitialize();
  const char* line = "ABCDE KLMNO TRS UVWXYZ ()+/ <=>?";
  const auto bytes = static_cast<int64_t>(std::strlen(line));
  for (auto _ : state) {
    char* result = nullptr;
    benchmark::DoNotOptimize(CnvNABCCtoKANA(line, &result, 0x0100));
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
  TavoLibTerminate();
}
BENCHMARK(ConvertPlainKanaLine);

}  // namespace

BENCHMARK_MAIN();
