// A folder of RUTE braille documents for tests and benchmarks.
//
// Layout: documents doc0001.RUT, doc0002.rut, doc0003.RUT, ... (odd numbers
// with the extension in capitals), dealt in turn to the folder itself and to
// its subfolders sub01, sub01/sub02, sub03, sub03/sub04, ... (each
// even-numbered one inside the one before it, so that the tree has both
// siblings and nesting). Every folder also gets memo.txt: braille lines
// without a RUTE header, which a search over RUTE documents must ignore.
//
// A document: the 512-byte header (RuteHeader), then CR LF, so that the
// header is the file's first text line, which readers skip; then the braille
// lines of BrailleText.h, each ending in CR LF.
//
// Every file is written atomically (AtomicFile.h); files of the same names
// are replaced, other files are left alone. Deterministic: the same options
// give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tavo::gen {

struct RuteOptions {
  int Files = 0;         // documents, >= 1
  int LinesPerFile = 0;  // braille lines per document, >= 0
  int Subfolders = 0;    // >= 0
  int LinesPerPage = 18;  // 1-99: the header field has two digits
  uint64_t Seed = 1;
};

constexpr size_t kRuteHeaderBytes = 512;

// The header: `title` (CP932, cut to its 50-byte field) in HeaderText1,
// the page count (at most 9999) as four digits in HeaderNumber1, the cells
// per line "32" in HeaderNumber2, linesPerPage (1-99) as two digits in
// LinesPerPage; every other byte NUL. Holds no CR, LF or 0x1A byte as long
// as the title holds none.
std::string RuteHeader(std::string_view title, int linesPerPage, int pages);

// Writes the folder (created when missing). False with a message in `error`
// when a file or folder cannot be written, or when an interrupt request came
// (InterruptSignal, Interrupt.h); the files finished before stay.
bool GenerateRuteFolder(const std::filesystem::path& folder, const RuteOptions& options,
                        std::string& error);

}  // namespace tavo::gen
