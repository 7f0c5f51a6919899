#include "platform/system/OSError.h"

#include <cerrno>
#include <cstring>

namespace tavo {
namespace {

std::string Format(int code) {
  return "System error. Code: " + std::to_string(code) + ".\n" + SysErrorMessage(code);
}

}  // namespace

EOSError::EOSError(int code) : Exception(Format(code)), code_(code) {}

std::string SysErrorMessage(int code) {
  // strerror follows the locale, whose text need not be CP932; the
  // description table does not.
  const char* text = ::strerrordesc_np(code);
  return text != nullptr ? std::string(text) : "Unknown error " + std::to_string(code);
}

void RaiseLastOSError() {
  const int code = errno;
  throw EOSError(code != 0 ? code : EIO);
}

}  // namespace tavo
