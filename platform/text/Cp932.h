// The CP932 text edge: every conversion between the program's own CP932
// strings and the outside world's UTF-8 goes through these two functions.
//
// Both are strict: input that is not valid in the source encoding, or a
// character that has no form in the target encoding, makes the whole call
// fail (std::nullopt). A string is never silently altered. Thread-safe.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavo {

std::optional<std::string> Utf8ToCp932(std::string_view utf8);
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

}  // namespace tavo
