// The CP932 text edge: every conversion between the program's own CP932
// strings and the outside world's UTF-8 goes through these two functions.
//
// Both are strict: input that is not valid in the source encoding, or a
// character that has no form in the target encoding, makes the whole call
// fail (std::nullopt). A string is never silently altered. Thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

std::optional<std::string> Utf8ToCp932(std::string_view utf8);
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);

// The byte length of the well-formed UTF-8 character (RFC 3629: no overlong
// form, no surrogate, nothing past U+10FFFF) that begins at s[i]; 0 when
// none begins there. i < s.size().
std::size_t Utf8CharLength(std::string_view s, std::size_t i);

// Which of the two encodings `bytes` are text in. UTF-8 when they are valid
// UTF-8 beyond ASCII and either no valid CP932 or holding a character of
// three bytes or more (every kana and kanji): Japanese UTF-8 often pairs up
// into valid CP932 (E3 81 82 reads as a CP932 kanji and a lead byte), while
// CP932 text rarely is valid UTF-8 (its lead bytes 81-9F cannot begin a UTF-8
// character), and then mostly as two-byte characters made of half-width
// katakana ("ﾃｩ" is C3 A9, "é"). Else CP932 when they are valid CP932 (ASCII
// alone is). Else neither.
enum class TextEncoding { kCp932, kUtf8, kNeither };
TextEncoding DetectTextEncoding(std::string_view bytes);

}  // namespace tavo
