#include "platform/text/OsPath.h"

#include "platform/text/Cp932Name.h"

namespace tavo {

std::optional<std::string> ToOsPath(std::string_view cp932Path) {
  if (cp932Path.empty() || cp932Path.find('\0') != std::string_view::npos) return std::nullopt;
  return OsBytesOfCp932Form(cp932Path);
}

std::optional<std::string> FromOsPath(std::string_view utf8Path) {
  std::optional<std::string> form = FromOsPathEscaped(utf8Path);
  if (form && !IsPlainCp932Name(*form)) return std::nullopt;
  return form;
}

std::optional<std::string> FromOsPathEscaped(std::string_view osPath) {
  if (osPath.find('\0') != std::string_view::npos) return std::nullopt;
  return Cp932FormOfOsBytes(osPath);
}

}  // namespace tavo
