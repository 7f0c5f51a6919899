#include "platform/text/Cp932.h"

#include <iconv.h>

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

}  // namespace

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
