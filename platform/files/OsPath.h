// The one crossing between the program's file names and the operating
// system's: inside the program a path is CP932 text; on disk names are UTF-8.
//
// Both directions are strict (see Cp932.h). A program path that has no UTF-8
// form, that is empty, or that holds a NUL byte (which would silently cut the
// name at the system call) has no OS form: callers treat that as "not found" /
// "not opened". An OS name with no CP932 form likewise cannot enter the
// program. No length limit. Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavo {

std::optional<std::string> ToOsPath(std::string_view cp932Path);
std::optional<std::string> FromOsPath(std::string_view utf8Path);

}  // namespace tavo
