#include "tools/gen/RuteGen.h"

#include <algorithm>
#include <cstdio>
#include <system_error>
#include <vector>

#include "platform/text/Cp932Lead.h"
#include "tools/gen/AtomicFile.h"
#include "tools/gen/BrailleText.h"
#include "tools/gen/GenRandom.h"
#include "tools/gen/Interrupt.h"

namespace tavo::gen {
namespace {

constexpr std::string_view kTitleWord = "\x95\xB6\x8F\x91";  // 文書
constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kBlockBytes = size_t{1} << 20;
constexpr int kMemoLines = 12;

void PutDigits(std::string& header, size_t offset, size_t width, int value) {
  for (size_t i = width; i-- > 0; value /= 10) header[offset + i] = static_cast<char>('0' + value % 10);
}

// Writes `lines` braille lines after `head` to `target`, atomically.
bool WriteBrailleFile(const std::filesystem::path& target, std::string head, int lines, uint64_t seed,
                      std::string& error) {
  AtomicFile file(target);
  if (!file.Open(error)) return false;
  BrailleText text(seed);
  std::string buf = std::move(head);
  std::string line;
  for (int i = 0; i < lines; ++i) {
    text.NextLine(line);
    buf += line;
    buf += kLineEnd;
    if (buf.size() >= kBlockBytes) {
      if (InterruptSignal() != 0) {
        error = "interrupted";
        return false;
      }
      if (!file.Write(buf, error)) return false;
      buf.clear();
    }
  }
  return file.Write(buf, error) && file.Commit(error);
}

// One seed per file, so that no file's text depends on the files before it.
uint64_t FileSeed(uint64_t seed, uint64_t fileNo) {
  Random mix(seed ^ (fileNo * 0xD1B54A32D192ED03ULL));
  return mix.Next();
}

}  // namespace

std::string RuteHeader(std::string_view title, int linesPerPage, int pages) {
  std::string header(kRuteHeaderBytes, '\0');
  // Cut on a character boundary: a lead byte never ends the field alone.
  size_t n = 0;
  while (n < title.size()) {
    const size_t len = IsLeadByte(static_cast<unsigned char>(title[n])) ? 2 : 1;
    if (n + len > 50 || n + len > title.size()) break;
    n += len;
  }
  header.replace(10, n, title.substr(0, n));
  PutDigits(header, 504, 4, std::clamp(pages, 0, 9999));
  PutDigits(header, 508, 2, 32);
  PutDigits(header, 510, 2, std::clamp(linesPerPage, 1, 99));
  return header;
}

bool GenerateRuteFolder(const std::filesystem::path& folder, const RuteOptions& options,
                        std::string& error) {
  std::vector<std::filesystem::path> folders{folder};
  for (int k = 1; k <= options.Subfolders; ++k) {
    char name[24];
    std::snprintf(name, sizeof name, "sub%02d", k);
    folders.push_back((k % 2 == 1 ? folder : folders.back()) / name);
  }
  for (const auto& dir : folders) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
      error = dir.string() + ": " + ec.message();
      return false;
    }
  }
  uint64_t memoNo = 0;
  for (const auto& dir : folders) {
    if (!WriteBrailleFile(dir / "memo.txt", "", kMemoLines, FileSeed(~options.Seed, ++memoNo), error)) {
      return false;
    }
  }
  const int lpp = options.LinesPerPage;
  const int pages = options.LinesPerFile == 0 ? 0 : (options.LinesPerFile - 1) / lpp + 1;
  for (int i = 1; i <= options.Files; ++i) {
    if (InterruptSignal() != 0) {
      error = "interrupted";
      return false;
    }
    char name[32];
    std::snprintf(name, sizeof name, "doc%04d.%s", i, i % 2 == 1 ? "RUT" : "rut");
    char title[32];
    std::snprintf(title, sizeof title, " %04d", i);
    std::string head = RuteHeader(std::string(kTitleWord) + title, lpp, pages);
    head += kLineEnd;
    const auto& dir = folders[static_cast<size_t>(i - 1) % folders.size()];
    if (!WriteBrailleFile(dir / name, std::move(head), options.LinesPerFile, FileSeed(options.Seed, i), error)) {
      return false;
    }
  }
  return true;
}

}  // namespace tavo::gen
