// Fuzz target: the candidate-first block scan of a dictionary against the
// plain reading of the same bytes line by line with the grammar on every
// line. The input chooses a block size, a line cut, a search word and the
// dictionary, built from pieces that matter to the grammar and the reader
// (line ends, 0x1A, group, member, comment, code and raw marks, two-byte
// characters and their halves); cancels asked for at random must not change
// what is found. Any difference in the hits or the lines aborts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "dictool/DicScanner.h"
#include "tests/dictool/DicReference.h"

namespace {

constexpr std::string_view kPieces[] = {
    "\r\n", "\n",   "\r", "\x1A", "*",  "+", ",",  "%",  "#",        "/",        ":", " ",
    "A",    "b",    "\x82\xCB",   "\x82\xB1", "\x83\x41",            "\x81\x96", "\x82", "\xCB",
    "\x83", "\x41", "\x81\xA0",   "\x82\xCB\x82\xB1",              "*\x82\xCB", "+,",  "\x88\x9F", "z"};
constexpr std::size_t kPieceCount = sizeof kPieces / sizeof kPieces[0];

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "dicscan fuzzer: %s\n", what);
  std::abort();
}

// The dictionary lives in a memory file, opened again by its path.
struct MemoryFile {
  MemoryFile() : fd(memfd_create("dic", 0)), path("/proc/self/fd/" + std::to_string(fd)) {}
  void Write(std::string_view bytes) const {
    Require(ftruncate(fd, 0) == 0 && pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()),
            "cannot write the memory file");
  }
  int fd;
  std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const tavo::ScanLimits limits{1 + data[0] % 24u, 1 + data[1] % 40u};
  const unsigned cancelEvery = data[2] % 8u == 0 ? 0 : 1 + data[2] % 8u;  // 0: never; never every poll
  const std::size_t wordPieces = data[3] % 4u;
  data += 4;
  size -= 4;
  std::string word;
  if (data[-1] & 0x80) word = data[-1] & 0x40 ? "/" : "*";
  for (std::size_t i = 0; i < wordPieces && i < size; ++i) word += kPieces[data[i] % kPieceCount];
  std::string bytes;
  for (std::size_t i = wordPieces; i < size; ++i) bytes += kPieces[data[i] % kPieceCount];

  static const MemoryFile file;
  file.Write(bytes);
  unsigned polls = 0;
  const tavo::DicScanner::Poll poll = [&] { return cancelEvery != 0 && ++polls % cancelEvery == 0; };

  tavo::DicScanner scanner(limits);
  Require(scanner.Open(file.path) == 0, "cannot open the memory file");
  const tavo::DicQuery query(word);
  bool inGroup = false;
  std::vector<std::string> hits;
  std::string_view line;
  for (tavo::ScanResult r; (r = scanner.NextHit(query, inGroup, poll, line)) != tavo::ScanResult::End;) {
    Require(r != tavo::ScanResult::Error, "read error");
    if (r == tavo::ScanResult::Line) hits.emplace_back(line);
  }
  Require(hits == tavo::test::ReferenceHits(bytes, word, limits.LineCut), "hits differ from the line-by-line reading");

  Require(scanner.Open(file.path) == 0, "cannot open the memory file again");
  std::vector<std::string> lines;
  for (tavo::ScanResult r; (r = scanner.NextLine(poll, line)) != tavo::ScanResult::End;) {
    Require(r != tavo::ScanResult::Error, "read error");
    if (r == tavo::ScanResult::Line) lines.emplace_back(line);
  }
  Require(lines == tavo::test::ReferenceLines(bytes, limits.LineCut), "lines differ from the line-by-line reading");
  return 0;
}
