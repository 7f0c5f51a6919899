// tavo_gen_check: verifies the generator's output and the shipped samples
// with the program's own readers (dictionary line grammar, RUTE header
// reader, braille converter, line joining of the folder search).
//
//   tavo_gen_check dict <file> [<every-n>]
//       CR LF lines, every kind of line present, no "ね" at all; with
//       <every-n> (a file made with --hits-hex 82CB82B1 <every-n>) a search
//       for ねこ hits exactly the lines n, 2n, 3n, ...
//   tavo_gen_check rute <folder> <files> <lines-per-file> <lines-per-page> <subfolders>
//   tavo_gen_check samples <samples-folder>
//
// Prints each claim that does not hold; exit status 0 when all hold.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "convlib/KVCnv.h"
#include "dictool/DicLine.h"
#include "dictool/GaibuMatch.h"
#include "dictool/TavoRutFile.h"
#include "platform/text/Cp932Lead.h"
#include "tests/support/TestText.h"

namespace {

namespace fs = std::filesystem;
using tavo::test::hex;
using tavo::test::sj;

int gFailures = 0;

void Fail(const std::string& what) {
  if (++gFailures <= 20) std::fprintf(stderr, "FAIL: %s\n", what.c_str());
}

void Expect(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  if (!in) Fail(path.string() + ": cannot be read");
  return s.str();
}

// The lines of `bytes`, which must all end in CR LF, with no other CR or LF
// and no 0x1A anywhere.
std::vector<std::string> CrLfLines(const std::string& bytes, const std::string& name) {
  std::vector<std::string> lines;
  Expect(bytes.find('\x1A') == std::string::npos, name + ": holds 0x1A");
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      Fail(name + ": does not end in CR LF");
      break;
    }
    if (lf == start || bytes[lf - 1] != '\r') Fail(name + ": LF without CR after line " + std::to_string(lines.size()));
    const std::string_view line(bytes.data() + start, lf == start ? 0 : lf - 1 - start);
    if (line.find('\r') != std::string_view::npos) Fail(name + ": lone CR in line " + std::to_string(lines.size() + 1));
    lines.emplace_back(line);
    start = lf + 1;
  }
  return lines;
}

// Line kinds of the dictionary grammar that a file is meant to show.
enum Kind : unsigned {
  kBlank = 1, kHashComment = 2, kCommentOnly = 4, kWithComment = 8, kGroup = 16, kMember = 32,
  kOtherMember = 64, kCode = 128, kColon = 256, kHalfWidth = 512, kOrdinary = 1024, kAllKinds = 2047
};

unsigned KindOf(std::string_view line) {
  const std::string_view data = line.substr(0, line.find('%'));
  unsigned kinds = 0;
  if (line.empty()) return kBlank;
  if (data.empty()) return kCommentOnly;
  if (data.size() < line.size()) kinds |= kWithComment;
  if (data[0] == '#') return kinds | kHashComment;
  if (data[0] == '*') return kinds | kGroup;
  if (data.starts_with("+,")) return kinds | kOtherMember;
  if (data[0] == '+') return kinds | kMember;
  kinds |= kOrdinary;
  bool singleBytes = true;  // so far: a code part is single bytes up to the '/'
  for (size_t i = 0; i < data.size(); ++i) {
    const auto b = static_cast<unsigned char>(data[i]);
    if (tavo::IsLeadByte(b)) {
      Expect(i + 1 < data.size(), "a lead byte ends the data of: " + hex(line));
      singleBytes = false;
      ++i;
      continue;
    }
    if (b == '/' && singleBytes && i > 0) kinds |= kCode;
    if (b == ':') kinds |= kColon;
    if (b >= 0xA1 && b <= 0xDF) kinds |= kHalfWidth;
    Expect(b >= 0x20 && b != 0x7F && b != 0x80 && b != 0xA0 && b < 0xFD, "no CP932 text: " + hex(line));
  }
  return kinds;
}

void ExpectAllKinds(const std::vector<std::string>& lines, const std::string& name) {
  unsigned seen = 0;
  for (const auto& l : lines) seen |= KindOf(l);
  Expect(seen == kAllKinds, name + ": missing kinds of line, mask " + std::to_string(seen ^ kAllKinds));
}

// The 1-based numbers of the lines that the dictionary search shows for `word`.
std::vector<size_t> Hits(const std::vector<std::string>& lines, const std::string& word) {
  const tavo::DicPattern pattern = tavo::PrepareDicPattern(word);
  bool inGroup = false;
  std::vector<size_t> hits;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (tavo::IsDicHit(lines[i], pattern, inGroup)) hits.push_back(i + 1);
  }
  return hits;
}

// The braille line as the search sees it; every character must be one the
// generated words can give.
std::string Kana(std::string_view cells, const std::string& where) {
  static tavolib::TTavoCnv converter;
  std::string kana;
  converter.CnvText(cells, kana, 0x0100);
  for (size_t i = 0; i < kana.size(); i += 2) {
    const auto a = static_cast<unsigned char>(kana[i]);
    const auto b = i + 1 < kana.size() ? static_cast<unsigned char>(kana[i + 1]) : 0;
    const bool ok = (a == 0x82 && ((b >= 0x9F && b <= 0xF1) || (b >= 0x4F && b <= 0x58))) ||
                    (a == 0x81 && (b == 0x5B || b == 0xA0 || b == 0x42)) || (a == 0xF0 && b == 0x43);
    if (!ok) {
      Fail(where + ": unexpected reading " + hex(kana) + " of cells \"" + std::string(cells) + "\"");
      break;
    }
  }
  return kana;
}

struct RuteBody {
  std::vector<std::string> Lines;
  int LinesPerPage = 0;
  int CellsPerLine = 0;
};

RuteBody CheckRute(const fs::path& path) {
  const std::string name = path.string();
  RuteBody body;
  const std::string bytes = ReadFile(path);
  if (bytes.size() < 514) {
    Fail(name + ": shorter than header and line end");
    return body;
  }
  Expect(bytes.compare(512, 2, "\r\n") == 0, name + ": no CR LF at byte 512");
  Expect(bytes.find_first_of(std::string_view("\r\n\x1A", 3)) == 512, name + ": CR, LF or 0x1A inside the header");
  tavo::TRutFile header(name);
  try {
    Expect(header.ReadHeader(), name + ": header not read");
  } catch (const std::exception& e) {
    Fail(name + ": header number field: " + e.what());
  }
  body.LinesPerPage = header.GetLinesPerPage();
  body.CellsPerLine = header.GetHeaderNumber2();
  body.Lines = CrLfLines(bytes.substr(514), name);
  for (size_t i = 0; i < body.Lines.size(); ++i) {
    const std::string& line = body.Lines[i];
    const std::string where = name + " line " + std::to_string(i + 1);
    Expect(line.size() <= 32, where + ": longer than 32 cells");
    Expect(line.empty() || line.back() != ' ', where + ": ends in a blank cell");
    for (unsigned char c : line) Expect(c >= 0x20 && c <= 0x5F, where + ": byte outside NABCC");
    Kana(line, where);
  }
  return body;
}

// Rows the folder search gives only by joining a line with the next: the
// word is in neither line alone but begins in the first.
int JoinedHits(const std::vector<std::string>& lines, const std::string& word) {
  int hits = 0;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string ka = Kana(lines[i], "join");
    if (tavo::MatchSearchWord(ka, word, nullptr)) continue;
    std::string joined;
    int at = 0;
    if (tavo::JoinLines(lines[i], lines[i + 1], joined) && tavo::MatchSearchWord(Kana(joined, "join"), word, &at) &&
        static_cast<size_t>(at) <= ka.size()) {
      ++hits;
    }
  }
  return hits;
}

int CheckDict(const fs::path& path, size_t every) {
  const std::string bytes = ReadFile(path);
  const auto lines = CrLfLines(bytes, path.string());
  if (every != 1) ExpectAllKinds(lines, path.string());  // every line a hit: all are ordinary
  const double average = lines.empty() ? 0 : static_cast<double>(bytes.size()) / lines.size();
  Expect(average >= 12 && average <= 30, "average line length " + std::to_string(average) + " is not about 20");
  const std::string neko = sj("ねこ");
  const auto hits = Hits(lines, neko);
  if (every == 0) {
    Expect(bytes.find(sj("ね")) == std::string::npos, "ね occurs");
    Expect(hits.empty(), "ねこ is found");
  } else {
    Expect(hits.size() == lines.size() / every, std::to_string(hits.size()) + " hits in " +
                                                    std::to_string(lines.size()) + " lines");
    for (size_t i = 0; i < hits.size(); ++i) {
      if (hits[i] != (i + 1) * every) {
        Fail("hit " + std::to_string(i + 1) + " on line " + std::to_string(hits[i]));
        break;
      }
    }
  }
  return gFailures == 0 ? 0 : 1;
}

int CheckRuteFolder(const fs::path& folder, size_t files, size_t linesPerFile, int linesPerPage,
                    size_t subfolders) {
  size_t ruteFiles = 0, upper = 0, memos = 0, joins = 0;
  std::set<fs::path> ruteFolders;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& p = entry.path();
    if (tavo::IsRutFile(p.string())) {
      ++ruteFiles;
      upper += p.extension() == ".RUT";
      ruteFolders.insert(p.parent_path());
      const RuteBody body = CheckRute(p);
      Expect(body.Lines.size() == linesPerFile, p.string() + ": " + std::to_string(body.Lines.size()) + " lines");
      Expect(body.LinesPerPage == linesPerPage, p.string() + ": lines per page " + std::to_string(body.LinesPerPage));
      Expect(body.CellsPerLine == 32, p.string() + ": cells per line");
      std::string joined;
      for (size_t i = 0; i + 1 < body.Lines.size(); ++i) joins += tavo::JoinLines(body.Lines[i], body.Lines[i + 1], joined);
    } else if (p.filename() == "memo.txt") {
      ++memos;
      Expect(!CrLfLines(ReadFile(p), p.string()).empty(), p.string() + ": empty");
    } else {
      Fail("unexpected file " + p.string());
    }
  }
  Expect(ruteFiles == files, std::to_string(ruteFiles) + " RUTE documents");
  Expect(files < 2 || (upper > 0 && upper < files), "extensions .RUT and .rut not mixed");
  Expect(memos == subfolders + 1, std::to_string(memos) + " memo.txt files");
  Expect(ruteFolders.size() == std::min(files, subfolders + 1), "documents in " + std::to_string(ruteFolders.size()) + " folders");
  Expect(linesPerFile < 40 || joins > 0, "no line runs on into the next");
  return gFailures == 0 ? 0 : 1;
}

int CheckSamples(const fs::path& dir) {
  const fs::path dic = dir / "sample.dic";
  const auto lines = CrLfLines(ReadFile(dic), dic.string());
  ExpectAllKinds(lines, dic.string());
  // The demo: ねこ fills more than a screenful; the others show hits too.
  Expect(Hits(lines, sj("ねこ")).size() > 30, "ねこ: " + std::to_string(Hits(lines, sj("ねこ")).size()) + " hits");
  for (const char* word : {"いぬ", "てんじ", "どうぶつ", "*どうぶつ"}) {
    Expect(Hits(lines, sj(word)).size() >= 5, std::string(word) + ": fewer than 5 hits");
  }
  for (size_t n : Hits(lines, sj("*どうぶつ"))) Expect(lines[n - 1][0] == '+', "group search hit a non-member");
  bool memberWithoutWord = false;  // a hit through a matching group line
  for (size_t n : Hits(lines, sj("ねこ"))) memberWithoutWord |= lines[n - 1].find(sj("ねこ")) == std::string::npos;
  Expect(memberWithoutWord, "ねこ: no member of a matching group without the word");

  const RuteBody one = CheckRute(dir / "rute" / "sample.rut");
  Expect(one.LinesPerPage == 18, "sample.rut: lines per page");
  Expect(one.Lines.size() > 2 * 18, "sample.rut: no page 3");
  Expect(JoinedHits(one.Lines, sj("てんじ□としょかん")) >= 1, "sample.rut: てんじ□としょかん not found across a line end");
  const RuteBody two = CheckRute(dir / "rute" / "sub" / "sample2.rut");
  Expect(two.LinesPerPage == 20, "sample2.rut: lines per page");
  Expect(two.Lines.size() > 20, "sample2.rut: no page 2");
  return gFailures == 0 ? 0 : 1;
}

size_t Count(const char* s) { return static_cast<size_t>(std::stoull(s)); }

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  try {
    if (mode == "dict" && (argc == 3 || argc == 4)) return CheckDict(argv[2], argc == 4 ? Count(argv[3]) : 0);
    if (mode == "rute" && argc == 7) {
      return CheckRuteFolder(argv[2], Count(argv[3]), Count(argv[4]), std::stoi(argv[5]), Count(argv[6]));
    }
    if (mode == "samples" && argc == 3) return CheckSamples(argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "FAIL: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: tavo_gen_check dict <file> [<every-n>]\n"
               "       tavo_gen_check rute <folder> <files> <lines-per-file> <lines-per-page> <subfolders>\n"
               "       tavo_gen_check samples <samples-folder>\n");
  return 2;
}
