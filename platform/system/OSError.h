// Failures of system calls as exceptions: the error number of a call that
// failed, with a readable message. Thread-safe.
#pragma once

#include <string>

#include "platform/system/SysUtils.h"

namespace tavo {

// A system call failed. Code() is the errno value; what() is
// "System error. Code: <n>.\n<description>", ASCII and so also CP932.
class EOSError : public Exception {
 public:
  explicit EOSError(int code);
  int Code() const { return code_; }

 private:
  int code_;
};

// The description of an errno value, in English whatever the locale.
std::string SysErrorMessage(int code);

// Why a file operation failed, in a few Japanese words (CP932) for the
// messages that name a file: permission, a read-only file system, a full
// disk, not a regular file and the like; the English description for the
// rest.
std::string FileErrorText(int code);

// Throws EOSError for the current errno (EIO when errno is 0).
[[noreturn]] void RaiseLastOSError();

}  // namespace tavo
