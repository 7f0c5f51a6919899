#include "dictool/TavoRutFile.h"

#include <array>
#include <string_view>
#include <utility>

#include "platform/files/Files.h"
#include "platform/system/SysUtils.h"

namespace tavo {
namespace {

constexpr std::size_t kHeaderSize = 512;

struct Field {
  std::size_t Offset;
  std::size_t Length;
  void (TRutFile::*SetText)(std::string);
  void (TRutFile::*SetNumber)(int32_t);
};

constexpr std::array<Field, 13> kFields = {{
    {10, 50, &TRutFile::SetHeaderText1, nullptr},
    {60, 50, &TRutFile::SetHeaderText2, nullptr},
    {110, 50, &TRutFile::SetHeaderText3, nullptr},
    {160, 50, &TRutFile::SetHeaderText4, nullptr},
    {210, 20, &TRutFile::SetHeaderText5, nullptr},
    {230, 36, &TRutFile::SetHeaderText6, nullptr},
    {266, 36, &TRutFile::SetHeaderText7, nullptr},
    {302, 36, &TRutFile::SetHeaderText8, nullptr},
    {338, 20, &TRutFile::SetHeaderText9, nullptr},
    {358, 100, &TRutFile::SetHeaderText10, nullptr},
    {504, 4, nullptr, &TRutFile::SetHeaderNumber1},
    {508, 2, nullptr, &TRutFile::SetHeaderNumber2},
    {510, 2, nullptr, &TRutFile::SetLinesPerPage},
}};

// The field's bytes that exist, cut at the first NUL.
std::string_view FieldText(std::string_view header, const Field& f) {
  if (f.Offset >= header.size()) return {};
  std::string_view slot = header.substr(f.Offset, f.Length);
  return slot.substr(0, slot.find('\0'));
}

}  // namespace

TRutFile::TRutFile(std::string fileName) : FileName(std::move(fileName)) {}

bool TRutFile::ReadHeader() {
  // The whole header is read before any field is set, so that a file that
  // fails to read leaves the object as it was.
  std::string header;
  if (ReadFileHead(FileName, kHeaderSize, header) != 0) return false;
  for (const Field& f : kFields) {
    const std::string_view text = FieldText(header, f);
    if (f.SetText)
      (this->*f.SetText)(std::string(text));
    else
      (this->*f.SetNumber)(StrToInt(text));
  }
  return true;
}

}  // namespace tavo
