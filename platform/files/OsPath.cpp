#include "platform/files/OsPath.h"

#include "platform/text/Cp932.h"

namespace tavo {

std::optional<std::string> ToOsPath(std::string_view cp932Path) {
  if (cp932Path.empty() || cp932Path.find('\0') != std::string_view::npos) return std::nullopt;
  return Cp932ToUtf8(cp932Path);
}

std::optional<std::string> FromOsPath(std::string_view utf8Path) {
  if (utf8Path.find('\0') != std::string_view::npos) return std::nullopt;
  return Utf8ToCp932(utf8Path);
}

}  // namespace tavo
