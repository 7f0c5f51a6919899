// Small routines of the shell controls: volume labels, the trailing path
// separator and file times. Text is CP932. Thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// The label of the volume mounted at `rootPath` (a mount point, with or
// without a trailing '/'), lower-cased in its single-byte letters and then
// with a first letter a-z upper-cased ("DATA" -> "Data"; a double-byte first
// character stays). Empty when the path is not a mount point, the volume has
// no label, or the label has no CP932 form.
std::string GetVolumeLabel(std::string_view rootPath);

// The case rule of GetVolumeLabel on its own.
std::string VolumeLabelCase(std::string_view label);

// `path` with a '/' appended unless it already ends in one ('/' is never the
// second byte of a CP932 character, so "表" counts as a character, not as a
// separator). An empty path stays empty.
std::string AddBackslash(std::string_view path);

// A date-time: days since 1899-12-30, the time of day as fraction.
using TDateTime = double;

// A FILETIME (100 ns units since 1601-01-01 UTC) as a local date-time.
// No time (nullopt) when the value is 0 or its high 32 bits are 0 (a moment in
// 1601, which no file really has).
std::optional<TDateTime> FileTimeToLocalDateTime(std::uint64_t fileTime);

}  // namespace tavo
