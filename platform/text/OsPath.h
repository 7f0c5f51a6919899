// The one crossing between the program's file names and the operating
// system's: inside the program a path is CP932 text; on disk names are bytes
// (UTF-8 by custom).
//
// A path has a CP932 form in one of two kinds (Cp932Name.h): plain CP932
// text, or, for a name with no CP932 form that reads back to its bytes
// (Korean, emoji, bytes that are no UTF-8, ...), CP932 with escape
// characters. ToOsPath turns either back into the bytes on disk.
// FromOsPath is strict and answers only the plain kind: code that hands a
// path on as text (the searches, the braille editor's hand-over, the
// settings) takes that; the shell namespace, which only names entries and
// hands them back to the disk, takes FromOsPathEscaped and so shows every
// entry. An empty path, or one holding a NUL byte (which would silently cut
// the name at the system call), has no OS form; callers treat that as "not
// found" / "not opened". No length limit. Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavo {

std::optional<std::string> ToOsPath(std::string_view cp932Path);
// The plain CP932 form; nullopt when the path has none (or holds a NUL).
std::optional<std::string> FromOsPath(std::string_view utf8Path);
// The CP932 form, with escapes where needed; nullopt only for a NUL.
std::optional<std::string> FromOsPathEscaped(std::string_view osPath);

}  // namespace tavo
