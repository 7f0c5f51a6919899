// Private-profile (INI) files: one key read or written per call.
//
// The file is CP932 text of "[section]" lines and "key=value" lines; a line
// whose first non-blank byte is ';' is a comment, and any other line is kept
// but means nothing. Lines end in LF or CR LF when read; lines written end in
// CR LF. Section and key names match ignoring the case of ASCII letters only
// (the trail byte of a two-byte character is never folded); the first
// matching section and, within it, the first matching key count. Blanks
// (space, tab) around names and values are not part of them.
//
// `fileName` without '/' names a file in WindowsFolder(), which the first
// write creates (mode 0700); a name with '/' is used as it is.
//
// A write changes the one line of its key and keeps every other byte of the
// file as it was. A new key goes at the end of its section (before the
// section's trailing blank lines), a new section at the end of the file. The
// read-modify-write runs under an exclusive lock on "<file>.lock" and replaces
// the file atomically, so writers in several processes lose nothing and a
// reader never sees half a file. Thread-safe; no cache: each call goes to the
// file.
#pragma once

#include <string>
#include <string_view>

namespace tavo {

// The value of `key` in `section`, or `fallback` when the file, the section or
// the key is missing or the file cannot be read. As through a 2048-byte
// buffer, at most 2047 bytes are returned, cut at a character boundary so that
// no half of a two-byte character is returned.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view fallback, std::string_view fileName);

// Sets `key` in `section` to `value`. False when the file cannot be read,
// written or locked, or when the entry would not read back as written: a name
// that is empty, has blanks around it, or holds CR or LF; a key that holds '='
// or begins with '[' or ';'; a section name that holds ']'; a value that has
// blanks around it or holds CR or LF. The file is then unchanged.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName);

}  // namespace tavo
