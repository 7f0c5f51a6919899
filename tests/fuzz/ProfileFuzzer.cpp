// Fuzz target: random settings files and random batches of key writes. Every
// write must either be refused and leave the text byte for byte as it was,
// or be accepted and read back exactly, change only its own line (or add its
// line, and its section's), and leave every other key's value as it was by
// a reading of the text made apart from the code under test.
// Now and then the same batch also goes through a real file, whose bytes
// after the commit must be the ones held in memory; a file in UTF-8 must
// take the writes into its CP932 form, and one that is no text none at all,
// and stay as it was.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/files/PrivateProfile.h"
#include "platform/files/ProfileText.h"
#include "platform/text/Cp932.h"
#include "platform/text/Cp932Lead.h"

namespace {

using tavo::ProfileText;

// The write being checked, for the report.
struct {
  std::string_view section, key, value, text;
} g_write;

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char buf[8];
    std::snprintf(buf, sizeof buf, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
    out += buf;
  }
  return out;
}

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "profile fuzzer: %s\n[%s] %s=%s on %s\n", what, Escaped(g_write.section).c_str(),
               Escaped(g_write.key).c_str(), Escaped(g_write.value).c_str(), Escaped(g_write.text).c_str());
  std::abort();
}

// Names that meet: ASCII in both cases, "ア" 83 41 and "ヂ" 83 61 (a trail
// byte that folds like a letter), "ゾ" 83 5D and "ゼ" 83 5B (trail bytes
// that look like brackets), blanks, a lone lead byte.
const char* const kNames[] = {"a", "A", "s", "Top", "TOP", "\x83\x41", "\x83\x61", "\x83\x5D", "\x83\x5B",
                              "x y", "\x82", "k=", ";c", "[s]", "", " a"};

std::string Name(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return kNames[in.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
  return in.ConsumeRandomLengthString(8);
}

std::string Value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:  // at the length limit and just past it
      return std::string(tavo::kProfileValueMax + in.ConsumeIntegralInRange(0, 1), 'v');
    default:
      return in.ConsumeRandomLengthString(24);
  }
}

// The lines of a text: each with its LF; the body without the line end.
struct Line {
  std::string_view raw;  // into the text, which outlives it
  std::string_view Body() const {
    std::string_view b = raw;
    if (!b.empty() && b.back() == '\n') b.remove_suffix(1);
    if (!b.empty() && b.back() == '\r') b.remove_suffix(1);
    return b;
  }
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> out;
  for (size_t pos = 0; pos < text.size();) {
    size_t lf = text.find('\n', pos);
    size_t end = lf == std::string_view::npos ? text.size() : lf + 1;
    out.push_back({text.substr(pos, end - pos)});
    pos = end;
  }
  return out;
}

bool SameLines(const std::vector<Line>& a, size_t ai, const std::vector<Line>& b, size_t bi, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (a[ai + i].raw != b[bi + i].raw) return false;
  return true;
}

// Only the key's own line changed, or its line (and its section's) came in.
void CheckOnlyItsLines(std::string_view before, std::string_view after, const std::string& section,
                       const std::string& key, const std::string& value) {
  const std::vector<Line> b = Lines(before), a = Lines(after);
  const std::string entry = key + "=" + value;
  if (a.size() == b.size()) {
    size_t changed = 0;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].raw == b[i].raw) continue;
      ++changed;
      const std::string_view old = b[i].Body();
      const size_t eq = old.find('=');
      Require(eq != std::string_view::npos, "a line without '=' changed");
      Require(a[i].Body() == std::string(old.substr(0, eq + 1)) + value, "the key's line is not name=value");
    }
    Require(changed <= 1, "more than one line changed");
    return;
  }
  const size_t added = a.size() - b.size();
  Require(a.size() > b.size() && added <= 2, "lines went or too many came");
  // The lines that came in are together; the one before them may only have
  // gained its line end.
  size_t at = 0;
  while (at < b.size() && a[at].raw == b[at].raw) ++at;
  if (at < b.size() && a[at].Body() == b[at].Body() && at + 1 == b.size()) ++at;  // the last line, now ended
  if (at > 0 && a[at - 1].raw != b[at - 1].raw) Require(a[at - 1].Body() == b[at - 1].Body(), "a line changed");
  Require(SameLines(a, at + added, b, at, b.size() - at), "lines after the new ones changed");
  Require(a[at + added - 1].raw == entry + "\r\n", "the new line is not name=value CR LF");
  if (added == 2) {
    Require(at == b.size(), "a new section not at the end");
    Require(a[at].raw == "[" + section + "]\r\n", "the new section line");
  }
}

// Names compare ignoring the case of ASCII letters only, character by
// character, so that no trail byte is folded: equal names fold equal.
std::string Fold(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    if (tavo::IsLeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size())
      ++i;
    else if (out[i] >= 'A' && out[i] <= 'Z')
      out[i] = static_cast<char>(out[i] + 32);
  }
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// What a text means, worked out apart from the code under test: the value
// of every key that a read can reach (the first key of its name in the
// first section of its name), by folded section and key name.
std::map<std::pair<std::string, std::string>, std::string> Meaning(std::string_view text) {
  std::map<std::pair<std::string, std::string>, std::string> out;
  std::set<std::string> sections;
  std::string current;
  bool reachable = false;  // inside the first section of its name
  for (const Line& l : Lines(text)) {
    const std::string_view body = l.Body(), t = Trim(body);
    if (!t.empty() && t.front() == '[') {
      size_t i = 1;
      while (i < t.size() && t[i] != ']') i += tavo::IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() ? 2 : 1;
      if (i >= t.size()) continue;  // no ']': neither section nor key
      current = Fold(Trim(t.substr(1, i - 1)));
      reachable = sections.insert(current).second;
      continue;
    }
    if (!t.empty() && t.front() == ';') continue;
    const size_t eq = body.find('=');
    if (eq == std::string_view::npos || !reachable) continue;
    out.emplace(std::pair(current, Fold(Trim(body.substr(0, eq)))), std::string(Trim(body.substr(eq + 1))));
  }
  return out;
}

// A folder of its own for one input, removed with what the batch left in
// it; in memory where the machine has such a place, since a commit's fsyncs
// would otherwise decide the speed of the whole run.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    path_ += "/tavo-profile-fuzz-XXXXXX";
    Require(::mkdtemp(path_.data()) != nullptr, "no temporary folder");
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const char* name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string file = in.ConsumeRandomLengthString(4096);
  const bool throughFile = in.ConsumeIntegral<uint8_t>() >= 252;  // 0 when the input ran out
  ProfileText text(file);
  Require(text.Bytes() == file, "a read text does not write back as it was");

  std::vector<std::tuple<std::string, std::string, std::string>> batch;
  const int ops = in.ConsumeIntegralInRange(0, 12);
  for (int op = 0; op < ops; ++op) {
    const std::string section = Name(in), key = Name(in), value = Value(in);
    const std::string before = text.Bytes();
    g_write = {section, key, value, before};
    if (!text.Set(section, key, value)) {
      Require(!tavo::ProfileEntryFits(section, key, value), "a fitting entry was refused");
      Require(text.Bytes() == before, "a refused write changed the text");
      continue;
    }
    Require(tavo::ProfileEntryFits(section, key, value), "an entry that does not fit was accepted");
    batch.emplace_back(section, key, value);
    const std::string after = text.Bytes();
    Require(text.Value(section, key) == std::optional<std::string_view>(value), "a write does not read back");
    CheckOnlyItsLines(before, after, section, key, value);
    auto expected = Meaning(before);
    expected[{Fold(section), Fold(key)}] = value;
    Require(Meaning(after) == expected, "another key's value changed, or the text means something else");
  }

  g_write = {"", "", "", file};
  if (throughFile && !batch.empty()) {
    const ScratchFolder folder;
    const std::string path = folder / "fuzz.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << file;
    tavo::PrivateProfileBatch b(path, tavo::PrivateProfileBatch::kWrite);
    switch (tavo::DetectTextEncoding(file)) {
      case tavo::TextEncoding::kCp932:
        Require(b.Error() == 0, "the batch cannot read its file");
        for (const auto& [s, k, v] : batch) Require(b.WriteString(s, k, v), "the batch refused a write");
        Require(b.Commit() == 0, "the batch cannot commit");
        Require(ReadFile(path) == text.Bytes(), "the file is not what the batch held");
        break;
      case tavo::TextEncoding::kUtf8:
        if (b.Error() == 0) {
          // Read converted: what the batch writes is its own text, in CP932.
          Require(b.FileText() == tavo::ProfileFileText::kUtf8, "a UTF-8 file was not read as UTF-8");
          for (const auto& [s, k, v] : batch) Require(b.WriteString(s, k, v), "the batch refused a write");
          Require(b.Commit() == 0, "the batch cannot commit a UTF-8 file");
          for (const auto& [s, k, v] : batch)
            Require(tavo::PrivateProfileBatch(path, tavo::PrivateProfileBatch::kRead).Value(s, k).has_value(),
                    "a key written into a UTF-8 file is missing");
          break;
        }
        [[fallthrough]];  // UTF-8 beyond CP932: as a file that is no text
      case tavo::TextEncoding::kNeither:
        Require(b.Error() == EILSEQ, "a file that is no text was taken for text");
        for (const auto& [s, k, v] : batch) Require(!b.WriteString(s, k, v), "a file that is no text took a write");
        Require(b.Commit() == EILSEQ && ReadFile(path) == file, "a file that is no text was written over");
        break;
    }
  }
  return 0;
}
