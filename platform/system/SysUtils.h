// Errors and number conversions shared by the whole program.
//
// Every exception the program's own code raises derives from tavo::Exception;
// its message (what()) is CP932 text, ready for the top-level error box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavo {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& cp932Message) : std::runtime_error(cp932Message) {}
};

// A text that is not a whole number where one was required.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Whole-number text: optional leading blanks, an optional sign, then decimal
// digits, or '$' followed by hexadecimal digits; nothing may follow. The value
// must fit 32 bits. Anything else throws EConvertError with the message
// "'<text>' は整数ではありません".
int32_t StrToInt(std::string_view text);

// As StrToInt, but answers `fallback` instead of throwing.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

// The number rule of the settings file: a value of more than two characters
// that begins "0x" or "0X" is hexadecimal; anything that is not a number reads
// as `fallback`.
int32_t ProfileStrToInt(std::string_view text, int32_t fallback);

}  // namespace tavo
