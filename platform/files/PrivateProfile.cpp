#include "platform/files/PrivateProfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/files/Files.h"
#include "platform/files/OsPath.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

constexpr size_t kValueBufferSize = 2048;  // the value and its terminating zero

size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Walks characters so that a trail byte such as 0x41 ('A' on its own) is
// compared exactly: "ア" (83 41) and "ヂ" (83 61) are two names.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t len = CharLength(a, i);
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
      return false;
    }
    i += len;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// No trail byte is a blank (trail bytes are 0x40 and up), so bytes will do.
std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The first single-byte ']' of a section line; ']' (0x5D) can be a trail
// byte, as in "ゾ" (83 5D).
size_t FindSectionEnd(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i += CharLength(s, i))
    if (s[i] == ']') return i;
  return std::string_view::npos;
}

enum class Kind { kOther, kSection, kKey };

struct Line {
  size_t begin = 0;       // offsets into the file's bytes
  size_t contentEnd = 0;  // before the CR LF, LF or final CR
  size_t end = 0;         // after the line end
  Kind kind = Kind::kOther;
  std::string_view name;
  std::string_view value;
  size_t valueStart = 0;  // offset just past the key's '='
};

Line ParseContent(std::string_view content) {
  Line line;
  std::string_view t = Trim(content);
  if (!t.empty() && t.front() == '[') {
    size_t close = FindSectionEnd(t, 1);
    if (close != std::string_view::npos) {
      line.kind = Kind::kSection;
      line.name = Trim(t.substr(1, close - 1));
    }
    return line;
  }
  if (!t.empty() && t.front() == ';') return line;
  size_t eq = content.find('=');  // '=' (0x3D) is never a trail byte
  if (eq == std::string_view::npos) return line;
  line.kind = Kind::kKey;
  line.name = Trim(content.substr(0, eq));
  line.value = Trim(content.substr(eq + 1));
  line.valueStart = eq + 1;
  return line;
}

std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    size_t contentEnd = lf == std::string_view::npos ? bytes.size() : lf;
    if (contentEnd > pos && bytes[contentEnd - 1] == '\r') --contentEnd;
    Line line = ParseContent(bytes.substr(pos, contentEnd - pos));
    line.begin = pos;
    line.contentEnd = contentEnd;
    line.end = end;
    line.valueStart += pos;
    lines.push_back(line);
    pos = end;
  }
  return lines;
}

// The first line of the first section named `section`, and the end (one past
// its last line) of that section; nullopt when there is no such section.
struct SectionSpan {
  size_t header;
  size_t end;
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Kind::kSection || !SameName(lines[i].name, section)) continue;
    size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != Kind::kSection) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, SectionSpan span, std::string_view key) {
  for (size_t i = span.header + 1; i < span.end; ++i)
    if (lines[i].kind == Kind::kKey && SameName(lines[i].name, key)) return i;
  return std::nullopt;
}

std::string CutToValueBuffer(std::string_view value) {
  size_t keep = 0;
  while (keep < value.size()) {
    size_t len = CharLength(value, keep);
    if (keep + len > kValueBufferSize - 1) break;
    keep += len;
  }
  return std::string(value.substr(0, keep));
}

// What must follow `bytes` so that the next byte starts a new line.
std::string_view LineBreakAfter(std::string_view bytes) {
  if (bytes.empty() || bytes.back() == '\n') return "";
  return bytes.back() == '\r' ? "\n" : "\r\n";
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Whether the lines a write would add read back as exactly this entry.
bool ReadsBackAs(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    return false;
  std::string header = std::string("[").append(section).append("]");
  Line h = ParseContent(header);
  if (h.kind != Kind::kSection || h.name != section) return false;
  std::string entry = std::string(key) + "=" + std::string(value);
  Line e = ParseContent(entry);
  return e.kind == Kind::kKey && e.name == key && e.value == value;
}

std::string WithEntry(std::string_view bytes, std::string_view section, std::string_view key,
                      std::string_view value) {
  std::vector<Line> lines = SplitLines(bytes);
  std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
  std::string out;
  auto span = FindSection(lines, section);
  if (!span) {
    out.append(bytes).append(LineBreakAfter(bytes));
    out.append("[").append(section).append("]\r\n").append(entry);
    return out;
  }
  if (auto k = FindKey(lines, *span, key)) {
    const Line& line = lines[*k];
    out.append(bytes.substr(0, line.valueStart)).append(value).append(bytes.substr(line.contentEnd));
    return out;
  }
  auto isBlank = [&](const Line& l) { return Trim(bytes.substr(l.begin, l.contentEnd - l.begin)).empty(); };
  size_t last = span->end - 1;
  while (last > span->header && isBlank(lines[last])) --last;
  size_t at = lines[last].end;
  std::string_view before = bytes.substr(0, at);
  out.append(before).append(LineBreakAfter(before)).append(entry).append(bytes.substr(at));
  return out;
}

// "tavodic.ini" lives in the Windows folder; "x/tavodic.ini" is a path.
std::string ProfilePath(std::string_view fileName) {
  if (fileName.find('/') != std::string_view::npos) return std::string(fileName);
  if (fileName.empty()) return "";
  std::string folder = WindowsFolder();
  if (folder.empty()) return "";
  return folder + "/" + std::string(fileName);
}

// Held while a write reads, changes and replaces the file. The lock is on a
// file of its own because the data file is replaced, not rewritten.
class ProfileLock {
 public:
  explicit ProfileLock(const std::string& profilePath) {
    auto os = ToOsPath(profilePath + ".lock");
    if (!os) return;
    fd_ = ::open(os->c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    int r;
    do {
      r = ::flock(fd_, LOCK_EX);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~ProfileLock() {
    if (fd_ >= 0) ::close(fd_);  // also releases the lock
  }
  ProfileLock(const ProfileLock&) = delete;
  ProfileLock& operator=(const ProfileLock&) = delete;

  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view fallback, std::string_view fileName) {
  std::string path = ProfilePath(fileName);
  std::string bytes;
  if (path.empty() || ReadWholeFile(path, bytes) != 0) return CutToValueBuffer(fallback);
  std::vector<Line> lines = SplitLines(bytes);
  if (auto span = FindSection(lines, section))
    if (auto k = FindKey(lines, *span, key)) return CutToValueBuffer(lines[*k].value);
  return CutToValueBuffer(fallback);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName) {
  if (!ReadsBackAs(section, key, value)) return false;
  std::string path = ProfilePath(fileName);
  if (path.empty()) return false;
  if (fileName.find('/') == std::string_view::npos && !EnsureWindowsFolder()) return false;
  ProfileLock lock(path);
  if (!lock.Held()) return false;
  std::string bytes;
  int r = ReadWholeFile(path, bytes);
  if (r != 0 && r != ENOENT) return false;  // never replace a file we could not read
  std::string out = WithEntry(bytes, section, key, value);
  if (r == 0 && out == bytes) return true;
  return WriteFileAtomic(path, out) == 0;
}

}  // namespace tavo
