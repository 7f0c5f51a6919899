// Fuzz target: the RUTE header reader and the external search's reading of
// a document. The input chooses a header (a valid one with some lines per
// page, or raw bytes: short, damaged, random), a body built from the cells
// and bytes that matter to the converter, the joins and the line reader,
// and a search word. Reading the header either succeeds or fails with a
// conversion error; the search tells every failure with the document's name
// and otherwise finds exactly the rows of the plain reading
// (GaibuReference.h), also when it is stopped at random polls and asked
// again. Anything else aborts.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convlib/KVCnv.h"
#include "dictool/GaibuSearchEngine.h"
#include "platform/system/SysUtils.h"
#include "tests/dictool/GaibuReference.h"

namespace {

constexpr std::string_view kBodyPieces[] = {
    " ",  "  ", "A",  "B",  "C",  "I",    "P",    "[",  "#",  "'",  "\"", "8",  "0",  ";",  ",",  "-",
    "7",  "4",  "3",  "1",  "9",  "5",    "@",    "^",  "_",  "X",  "L",  "%",  "\r\n", "\n", "\r", "\x1A",
    "\xDE", std::string_view("\0", 1), "#A'BCD", "P[",  "A P", "\r\n ", "\r\n[", "\t"};
constexpr std::string_view kWordPieces[] = {
    "\x82\xCB",  // ね
    "\x82\xB1",  // こ
    "\x81\xA0",  // □
    "\x82\xA0",  // あ
    "\x82\xA8",  // お
    "\x82\x50",  // １
    "\x81\x43",  // ，
    "\x81\x5B",  // ー
    "\xF0\x43",  // the number sign's cell
    "\x82",      // half a character
};
template <class T, std::size_t N>
constexpr std::size_t Count(const T (&)[N]) {
  return N;
}

constexpr uint16_t kOption = 0x0100;

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "rute fuzzer: %s\n", what);
  std::abort();
}

// The document lives in a memory file, opened again by its path.
struct MemoryFile {
  MemoryFile() : fd(memfd_create("doc", 0)), path("/proc/self/fd/" + std::to_string(fd)) {}
  void Write(std::string_view bytes) const {
    Require(ftruncate(fd, 0) == 0 && pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()),
            "cannot write the memory file");
  }
  int fd;
  std::string path;
};

struct Recorder : tavo::RowSink, tavo::SearchListener {
  void AddRow(std::string_view, const tavo::THitLine* record) override {
    Require(record != nullptr, "a row without its record");
  }
  void FileMissing(const std::string&) override { Require(false, "a document that is there was told missing"); }
  void FileUnreadable(const std::string& path, const tavo::FileFailure& failure) override {
    Require(path == expectedPath, "a failure that does not name the document");
    Require(failure.What != tavo::FileFailure::kSystem || failure.Error != 0, "a failure that says nothing");
    ++failures;
  }
  void LineCut(const std::string& path, tavo::PageLine) override {
    Require(path == expectedPath, "a cut line that does not name the document");
  }
  std::string expectedPath;
  int failures = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const bool validHeader = data[0] & 1;
  const unsigned stopEvery = (data[0] >> 1) % 8u == 0 ? 0 : 1 + (data[0] >> 1) % 8u;  // 0: never; never every poll
  const std::size_t wordPieces = 1 + data[1] % 4u;
  const std::size_t rawHeader = data[2] * 3u;  // bytes of a raw header
  const char digits[2] = {static_cast<char>('0' + data[3] % 10u), static_cast<char>('0' + (data[3] / 10u) % 10u)};
  data += 4;
  size -= 4;

  std::string word;
  std::size_t at = 0;
  for (; at < wordPieces && at < size; ++at) word += kWordPieces[data[at] % Count(kWordPieces)];
  std::string document;
  if (validHeader) {
    document.assign(512, '\0');
    document.replace(504, 4, "0001");
    document.replace(508, 2, "32");
    document.replace(510, 2, std::string_view(digits, 2));
    document += "\r\n";
  } else {
    for (; at < size && document.size() < rawHeader; ++at) document += static_cast<char>(data[at]);
  }
  for (; at < size; ++at) document += kBodyPieces[data[at] % Count(kBodyPieces)];

  static const MemoryFile file;
  file.Write(document);

  // The header reader alone: read, or a conversion error.
  tavo::TRutFile header(file.path);
  bool headerRead = false;
  try {
    Require(header.ReadHeader(), "the header of a document that is there was not read");
    headerRead = true;
  } catch (const tavo::EConvertError&) {
  }

  static tavolib::TTavoCnv converter;
  Recorder recorder;
  recorder.expectedPath = file.path;
  tavo::SearchSession session;
  tavo::GaibuSearchEngine engine(session, recorder,
                                 [](const char* line) { return converter.ConvertCString(line, kOption); });
  const std::vector<std::string> files = {file.path};
  Require(engine.FirstFileExists(files), "the document is not there");
  engine.Start(files, word, recorder);
  unsigned polls = 0;
  const tavo::DicScanner::Poll poll = [&] { return stopEvery != 0 && ++polls % stopEvery == 0; };
  std::vector<tavo::test::ReferenceHit> hits;
  for (;;) {
    tavo::HitRow hit;
    const tavo::NextHitResult r = engine.NextHit(poll, recorder, hit);
    if (r == tavo::nhEnd) break;
    if (r != tavo::nhHit) continue;  // stopped: asked again, it goes on where it stopped
    Require(hit.Record && hit.Record->ShortPath == file.path, "a hit without its document");
    hits.push_back({hit.Text, hit.Record->Page, hit.Record->Line});
  }
  Require(!session.FileOpen && !session.RutFile, "the document was left open");

  if (!headerRead) {
    Require(recorder.failures == 1 && hits.empty(), "a damaged header was not told once");
    return 0;
  }
  Require(recorder.failures == 0, "a readable document was told unreadable");
  const auto expected = tavo::test::ReferenceGaibuHits(
      document, word, header.GetLinesPerPage(), [](const std::string& line) { return std::string(converter.Convert(line, kOption)); });
  Require(hits.size() == expected.size(), "a different number of hits than the plain reading");
  for (std::size_t i = 0; i < hits.size(); ++i)
    Require(hits[i].Text == expected[i].Text && hits[i].Page == expected[i].Page && hits[i].Line == expected[i].Line,
            "a hit differs from the plain reading");
  return 0;
}
