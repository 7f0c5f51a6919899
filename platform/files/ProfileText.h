// The text of a private-profile (INI) file held in memory, with the per-key
// rules of PrivateProfile.h applied to its bytes and no file behind it: a
// batch reads a file into one, reads and writes any number of keys, and
// writes the bytes back once.
//
// Owns a copy of the bytes. One owner at a time; no locking.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

// The longest value that reads back whole: values are read as through a
// 2048-byte buffer that also holds a terminating zero.
inline constexpr size_t kProfileValueMax = 2047;

// Why a value cannot be stored so that it reads back as it was.
enum class ProfileValueProblem {
  kNone,
  kLineBreak,   // holds CR or LF: it would end its line
  kBlankAtEnd,  // begins or ends with a space or tab: blanks around a value are not part of it
  kTooLong,     // more than kProfileValueMax bytes: it would read back cut
  kNotCp932,    // not CP932 text: the file would no longer be read as text
};
ProfileValueProblem CheckProfileValue(std::string_view value);

// Whether `section` / `key` / `value` would read back exactly as this entry
// (all three CP932 text, which the whole file must stay).
bool ProfileEntryFits(std::string_view section, std::string_view key, std::string_view value);

class ProfileText {
 public:
  explicit ProfileText(std::string_view bytes = {});

  // The whole value of `key` in the first section named `section`, or
  // nullopt when either is missing. Valid until the next Set.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // The number of key lines in the first section named `section` (0 when
  // it is missing); a key written twice counts twice.
  size_t KeyCount(std::string_view section) const;

  // Sets `key` in `section` to `value`: its own line is changed, or a new
  // line goes at the end of the section (before its trailing blank lines),
  // or a new section at the end of the text; every other byte stays. False,
  // with the text unchanged, when the entry does not fit (ProfileEntryFits).
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Bytes() const;
  // True once a Set has changed a byte.
  bool Changed() const { return changed_; }

 private:
  friend bool ProfileEntryFits(std::string_view section, std::string_view key, std::string_view value);

  enum class Kind { kOther, kSection, kKey };
  struct Line {
    std::string bytes;      // the line with its line end, as in the file
    size_t contentLen = 0;  // without the line end (LF, CR LF, or a CR that ends the file)
    Kind kind = Kind::kOther;
    size_t nameBegin = 0, nameLen = 0;    // trimmed name of a section or key
    size_t valueBegin = 0, valueLen = 0;  // trimmed value of a key
    size_t afterEquals = 0;               // just past a key's '='

    std::string_view Name() const { return std::string_view(bytes).substr(nameBegin, nameLen); }
    std::string_view Value() const { return std::string_view(bytes).substr(valueBegin, valueLen); }
  };
  struct Span {
    size_t header;  // index of the section's line
    size_t end;     // one past its last line
  };

  static Line ParseLine(std::string bytes);
  std::optional<Span> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(Span span, std::string_view key) const;
  // Gives the line at `index` a line end when it has none (it ends the text).
  void EndLine(size_t index);

  std::vector<Line> lines_;
  bool changed_ = false;
};

}  // namespace tavo
