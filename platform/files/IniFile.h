// TIniFile: typed access to one private-profile file (see PrivateProfile.h).
//
// Holds only the file name; every call reads or writes the file itself, so
// values written by another program are seen at once. Numbers: a value of more
// than two characters beginning "0x" or "0X" is hexadecimal, and a value that
// is not a number reads as the default (ProfileStrToInt). Booleans: any
// integer other than 0 is true; written as "1" and "0". A write that fails
// throws EIniFileException. Same thread rules as PrivateProfile.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/system/SysUtils.h"

namespace tavo {

// A key could not be written. The message (CP932) is
// "<file name> に書き込めません", with the file name as it was given, and the
// reason on a line of its own when there is one.
class EIniFileException : public Exception {
 public:
  using Exception::Exception;
  static EIniFileException CannotWrite(std::string_view fileName, std::string_view reason = {});
};

class TIniFile {
 public:
  // `fileName`: a bare name lies in the Windows folder; a name with '/' is a path.
  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const;
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);  // decimal
  void WriteBool(std::string_view section, std::string_view key, bool value);

 private:
  std::string fileName_;
};

}  // namespace tavo
