#include "platform/files/ProfileText.h"

#include "platform/text/Cp932.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

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

// Offsets [begin, end) of `s` without its blanks at either end. No trail
// byte is a blank (trail bytes are 0x40 and up), so bytes will do.
void Trim(std::string_view s, size_t& begin, size_t& end) {
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
}

// The first single-byte ']' from `from` on; ']' (0x5D) can be a trail byte,
// as in "ゾ" (83 5D).
size_t FindSectionEnd(std::string_view s, size_t from, size_t end) {
  for (size_t i = from; i < end; i += CharLength(s.substr(0, end), i))
    if (s[i] == ']') return i;
  return std::string_view::npos;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

ProfileValueProblem CheckProfileValue(std::string_view value) {
  if (HasLineBreak(value)) return ProfileValueProblem::kLineBreak;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return ProfileValueProblem::kBlankAtEnd;
  if (value.size() > kProfileValueMax) return ProfileValueProblem::kTooLong;
  if (!Cp932ToUtf8(value)) return ProfileValueProblem::kNotCp932;
  return ProfileValueProblem::kNone;
}

ProfileText::Line ProfileText::ParseLine(std::string bytes) {
  Line line;
  line.bytes = std::move(bytes);
  const std::string_view s = line.bytes;
  size_t n = s.size();
  if (n > 0 && s[n - 1] == '\n') --n;
  if (n > 0 && s[n - 1] == '\r') --n;  // of a CR LF, or a CR that ends the text
  line.contentLen = n;

  size_t begin = 0, end = n;
  Trim(s, begin, end);
  if (begin < end && s[begin] == '[') {
    size_t close = FindSectionEnd(s, begin + 1, end);
    if (close != std::string_view::npos) {
      size_t nb = begin + 1, ne = close;
      Trim(s, nb, ne);
      line.kind = Kind::kSection;
      line.nameBegin = nb;
      line.nameLen = ne - nb;
    }
    return line;
  }
  if (begin < end && s[begin] == ';') return line;
  size_t eq = s.substr(0, n).find('=');  // '=' (0x3D) is never a trail byte
  if (eq == std::string_view::npos) return line;
  line.kind = Kind::kKey;
  size_t nb = 0, ne = eq;
  Trim(s, nb, ne);
  line.nameBegin = nb;
  line.nameLen = ne - nb;
  size_t vb = eq + 1, ve = n;
  Trim(s, vb, ve);
  line.valueBegin = vb;
  line.valueLen = ve - vb;
  line.afterEquals = eq + 1;
  return line;
}

bool ProfileEntryFits(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty() || HasLineBreak(section) || HasLineBreak(key)) return false;
  if (!Cp932ToUtf8(section) || !Cp932ToUtf8(key)) return false;
  if (CheckProfileValue(value) != ProfileValueProblem::kNone) return false;
  // The lines a write adds must parse back as this very entry.
  std::string header = std::string("[").append(section).append("]");
  ProfileText::Line h = ProfileText::ParseLine(header);
  if (h.kind != ProfileText::Kind::kSection || h.Name() != section) return false;
  ProfileText::Line e = ProfileText::ParseLine(std::string(key) + "=" + std::string(value));
  return e.kind == ProfileText::Kind::kKey && e.Name() == key && e.Value() == value;
}

ProfileText::ProfileText(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lf = bytes.find('\n', pos);
    size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    lines_.push_back(ParseLine(std::string(bytes.substr(pos, end - pos))));
    pos = end;
  }
}

std::optional<ProfileText::Span> ProfileText::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != Kind::kSection || !SameName(lines_[i].Name(), section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::kSection) ++end;
    return Span{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> ProfileText::FindKey(Span span, std::string_view key) const {
  for (size_t i = span.header + 1; i < span.end; ++i)
    if (lines_[i].kind == Kind::kKey && SameName(lines_[i].Name(), key)) return i;
  return std::nullopt;
}

std::optional<std::string_view> ProfileText::Value(std::string_view section, std::string_view key) const {
  auto span = FindSection(section);
  if (!span) return std::nullopt;
  auto k = FindKey(*span, key);
  if (!k) return std::nullopt;
  return lines_[*k].Value();
}

size_t ProfileText::KeyCount(std::string_view section) const {
  auto span = FindSection(section);
  size_t n = 0;
  if (span)
    for (size_t i = span->header + 1; i < span->end; ++i) n += lines_[i].kind == Kind::kKey;
  return n;
}

void ProfileText::EndLine(size_t index) {
  Line& line = lines_[index];
  if (!line.bytes.empty() && line.bytes.back() == '\n') return;
  // A final lone CR already begins a CR LF.
  line.bytes += line.contentLen < line.bytes.size() ? "\n" : "\r\n";
}

bool ProfileText::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!ProfileEntryFits(section, key, value)) return false;
  const std::string entry = std::string(key) + "=" + std::string(value) + "\r\n";
  auto span = FindSection(section);
  if (!span) {
    if (!lines_.empty()) EndLine(lines_.size() - 1);
    lines_.push_back(ParseLine(std::string("[").append(section).append("]\r\n")));
    lines_.push_back(ParseLine(entry));
    changed_ = true;
    return true;
  }
  if (auto k = FindKey(*span, key)) {
    Line& line = lines_[*k];
    std::string bytes = line.bytes.substr(0, line.afterEquals);
    bytes.append(value).append(line.bytes, line.contentLen);
    if (bytes != line.bytes) {
      line = ParseLine(std::move(bytes));
      changed_ = true;
    }
    return true;
  }
  auto isBlank = [](const Line& l) {
    size_t b = 0, e = l.contentLen;
    Trim(l.bytes, b, e);
    return b == e;
  };
  size_t last = span->end - 1;
  while (last > span->header && isBlank(lines_[last])) --last;
  EndLine(last);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), ParseLine(entry));
  changed_ = true;
  return true;
}

std::string ProfileText::Bytes() const {
  size_t size = 0;
  for (const Line& l : lines_) size += l.bytes.size();
  std::string out;
  out.reserve(size);
  for (const Line& l : lines_) out += l.bytes;
  return out;
}

}  // namespace tavo
