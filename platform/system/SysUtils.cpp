#include "platform/system/SysUtils.h"

#include <limits>
#include <optional>

namespace tavo {
namespace {

std::optional<int32_t> Parse(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i == s.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
    // Hexadecimal may spell the full 32-bit pattern (like $FFFFFFFF = -1).
    int64_t limit = base == 16 ? int64_t{0xFFFFFFFF} : int64_t{std::numeric_limits<int32_t>::max()} + 1;
    if (value > limit) return std::nullopt;
  }
  if (negative) value = -value;
  if (base == 16 && value > std::numeric_limits<int32_t>::max() && !negative)
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

int32_t StrToInt(std::string_view text) {
  if (auto v = Parse(text)) return *v;
  // "'%s' は整数ではありません"
  throw EConvertError(std::string("'").append(text) + "' \x82\xCD\x90\xAE\x90\x94\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
  if (auto v = Parse(text)) return *v;
  return fallback;
}

int32_t ProfileStrToInt(std::string_view text, int32_t fallback) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return StrToIntDef(std::string("$").append(text.substr(2)), fallback);
  return StrToIntDef(text, fallback);
}

}  // namespace tavo
