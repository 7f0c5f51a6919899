#include "platform/files/IniFile.h"

#include "platform/files/PrivateProfile.h"

namespace tavo {

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view fallback) const {
  return GetPrivateProfileString(section, key, fallback, fileName_);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t fallback) const {
  return ProfileStrToInt(ReadString(section, key, ""), fallback);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

EIniFileException EIniFileException::CannotWrite(std::string_view fileName, std::string_view reason) {
  // "%s に書き込めません"
  std::string text = std::string(fileName) + " \x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
  if (!reason.empty()) text.append("\n").append(reason);
  return EIniFileException(text);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (!WritePrivateProfileString(section, key, value, fileName_)) throw EIniFileException::CannotWrite(fileName_);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace tavo
