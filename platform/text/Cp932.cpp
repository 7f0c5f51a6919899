#include "platform/text/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace tavo {
namespace {

// glibc's "CP932" (not "SHIFT_JIS"): it keeps 0x5C a backslash and maps the
// user-defined area F040.. that the braille cell characters live in.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::optional<std::string> Run(std::string_view in) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // reset shift state
    std::string out;
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) {
          out.resize(out.size() * 2);
          continue;
        }
        return std::nullopt;  // EILSEQ or EINVAL: not expressible / truncated
      }
      if (r != 0) return std::nullopt;  // irreversible (substituted) conversions
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

// Both encodings hold ASCII as it is (glibc's CP932 keeps 0x5C and 0x7E
// too), so most file names need no converter.
bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Well-formed UTF-8; `longest` is the byte length of its longest character.
bool IsUtf8(std::string_view s, size_t& longest) {
  longest = s.empty() ? 0 : 1;
  for (size_t i = 0; i < s.size();) {
    const size_t len = Utf8CharLength(s, i);
    if (len == 0) return false;
    i += len;
    longest = std::max(longest, len);
  }
  return true;
}

}  // namespace

size_t Utf8CharLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return 1;
  size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto t = static_cast<unsigned char>(s[i + k]);
    if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return 0;
  }
  return len;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
  size_t longest = 0;
  const bool utf8 = IsUtf8(bytes, longest) && longest > 1;
  if (utf8 && longest >= 3) return TextEncoding::kUtf8;
  if (Cp932ToUtf8(bytes)) return TextEncoding::kCp932;
  return utf8 ? TextEncoding::kUtf8 : TextEncoding::kNeither;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  thread_local Converter conv("CP932", "UTF-8");
  return conv.Run(utf8);
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  if (IsAscii(cp932)) return std::string(cp932);
  thread_local Converter conv("UTF-8", "CP932");
  return conv.Run(cp932);
}

}  // namespace tavo
