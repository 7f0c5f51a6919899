// Private-profile (INI) files: keys read and written one at a time, or many
// at once in a batch.
//
// The file is CP932 text of "[section]" lines and "key=value" lines; a line
// whose first non-blank byte is ';' is a comment, and any other line is kept
// but means nothing. Lines end in LF or CR LF when read; lines written end in
// CR LF. Section and key names match ignoring the case of ASCII letters only
// (the trail byte of a two-byte character is never folded); the first
// matching section and, within it, the first matching key count. Blanks
// (space, tab) around names and values are not part of them. A value is read
// as through a 2048-byte buffer: at most 2047 bytes of it.
//
// `fileName` without '/' names a file in WindowsFolder(), which the first
// write creates (mode 0700); a name with '/' is used as it is. A symbolic
// link is followed to its target, which is what is locked and replaced; a
// write follows only a link that MayFollowLinkToWrite (Files.h) allows, and
// fails with kForeignLinkError at any other.
//
// A file in UTF-8 (written by hand or by another tool) is read as UTF-8 and
// its first write writes the whole of it back in CP932, so that no file ever
// holds two encodings; one that is not text in either encoding is read as
// having no keys and is never written over (see ProfileFileText).
//
// A write changes the one line of its key and keeps every other byte of the
// file as it was. A new key goes at the end of its section (before the
// section's trailing blank lines), a new section at the end of the file. A
// write that would not read back exactly is refused: a name that is empty,
// has blanks around it, holds CR or LF, or is not CP932 text; a key that
// holds '=' or begins with '[' or ';'; a section name that holds ']'; a
// value that CheckProfileValue (ProfileText.h) refuses.
//
// Writers take an exclusive lock on the file itself (FileReplaceLock), read
// it, change it in memory and replace it atomically (WriteFileAtomic), so
// writers in several processes lose nothing and a reader or a crash sees the
// old file or the new one, never a mixture; no lock file is left anywhere.
// Readers take no lock. A file that exists but cannot be read is never
// replaced. Thread-safe; no cache between calls or batches: each goes to the
// file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/files/Files.h"
#include "platform/files/ProfileText.h"

namespace tavo {

// How the bytes of a file were read.
enum class ProfileFileText {
  kCp932,         // as they are; also a missing or empty file
  kUtf8,          // UTF-8 (DetectTextEncoding), read converted to CP932; a
                  // writing batch commits the whole text in CP932 even when
                  // no key changed
  kUtf8NotCp932,  // UTF-8 with characters that CP932 lacks: no keys, EILSEQ
  kNeither,       // not text in either encoding: no keys, EILSEQ
};

// Where the file of `fileName` lies ("" when it has no place).
std::string PrivateProfilePath(std::string_view fileName);

// The value of `key` in `section`, or `fallback` when the file, the section or
// the key is missing or the file cannot be read; at most 2047 bytes, cut at a
// character boundary so that no half of a two-byte character is returned.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view fallback, std::string_view fileName);

// Sets `key` in `section` to `value`: a batch of one write. False when the
// entry is refused or the file cannot be read, locked or written; the file is
// then unchanged.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName);

// One read of the file, any number of key reads and writes against it in
// memory, then at most one atomic replace. A writing batch holds the lock
// from its construction to its end, so nobody writes the file in between;
// a second writer of the same file in the same thread would wait for good.
class PrivateProfileBatch {
 public:
  enum Mode { kRead, kWrite };

  // Reads the file; kWrite first creates the Windows folder for a bare name
  // and takes the lock. Error() tells how that went.
  PrivateProfileBatch(std::string_view fileName, Mode mode);
  ~PrivateProfileBatch();  // releases the lock; writes not committed are dropped
  PrivateProfileBatch(const PrivateProfileBatch&) = delete;
  PrivateProfileBatch& operator=(const PrivateProfileBatch&) = delete;

  // 0 when the file was read or does not exist; else the errno value of why
  // it could not be read (or its folder made, or its lock taken). A batch
  // with an error reads nothing but defaults and never commits.
  int Error() const { return error_; }
  bool FileExists() const { return exists_; }
  ProfileFileText FileText() const { return fileText_; }

  // As GetPrivateProfileString.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The whole value, however long, or nullopt when the key is missing.
  // Valid until the next write of this batch.
  std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
  // As ProfileText::KeyCount.
  size_t KeyCount(std::string_view section) const { return text_.KeyCount(section); }

  // Sets the key in memory (kWrite only). False when the entry is refused;
  // the batch is then unchanged.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Replaces the file when a write changed it (or it was read from UTF-8),
  // after removing temporaries that crashed writers left beside it. 0 or an
  // errno value (Error() when the batch has one); the file is unchanged on
  // failure.
  int Commit();

  // kWrite only, for a file that is not text (kUtf8NotCp932, kNeither):
  // moves it aside, untouched (MoveFileAside, Files.h), and puts its new
  // path into `movedTo`; the batch then holds no keys, as for a missing
  // file, and may commit. 0 or an errno value; the batch is unchanged on
  // failure.
  int KeepAside(std::string& movedTo);

 private:
  std::string path_;  // CP932; "" when the name has no place
  FileReplaceLock lock_;
  int error_ = 0;
  bool exists_ = false;
  bool writable_ = false;
  ProfileFileText fileText_ = ProfileFileText::kCp932;
  ProfileText text_;
};

}  // namespace tavo
