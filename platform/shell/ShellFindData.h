// What a folder listing tells about a file without opening it: the find data
// of an entry, with Windows-style attribute bits taken from stat().
//
//   regular file            FILE_ATTRIBUTE_ARCHIVE
//   folder                  FILE_ATTRIBUTE_DIRECTORY (never ARCHIVE)
//   name beginning with '.' FILE_ATTRIBUTE_HIDDEN
//   no write permission     FILE_ATTRIBUTE_READONLY (by the permission bits
//                           of the class the process falls in, the superuser
//                           counting as owner; or a read-only mount)
//   device, fifo, socket    FILE_ATTRIBUTE_SYSTEM
//
// Symbolic links are followed; a dangling link counts as a file. Times are
// FILETIME values (100 ns units since 1601-01-01 UTC); 0 means "no time".
// Thread-safe.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo {

inline constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x1;
inline constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
inline constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x4;
inline constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;

struct ShellFindData {
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;       // bytes; 0 for folders
  std::uint64_t writeTime = 0;  // FILETIME of the last modification
  std::string name;             // CP932; empty = not filled
};

// The attribute letters of the file list: "R" read-only, "H" hidden, "S"
// system, "A" archive, in this order ("RA"; "" for none of them).
std::string AttributeLetters(std::uint32_t attributes);

// The FILETIME of a POSIX time; 0 for times before 1601.
std::uint64_t FileTimeFromTimespec(const struct timespec& t);

// Find data from a stat() answer. `name` is the entry's CP932 name (for
// HIDDEN); `readOnlyMount` makes every entry READONLY.
ShellFindData FindDataFromStat(const struct stat& st, std::string_view name, bool readOnlyMount);

// The find data of a path (CP932), as a folder listing would give it for
// that entry. False when the path has no OS form or does not exist.
bool ShellFindFile(std::string_view path, ShellFindData& findData);

}  // namespace tavo
