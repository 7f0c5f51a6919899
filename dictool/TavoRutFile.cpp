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

// A number field that the header holds whole and that holds nothing but
// blanks and NULs.
bool IsBlankNumber(std::string_view header, const Field& f) {
  if (f.Offset + f.Length > header.size()) return false;
  return header.substr(f.Offset, f.Length).find_first_not_of(std::string_view(" \0", 2)) == std::string_view::npos;
}

}  // namespace

TRutFile::TRutFile(std::string fileName) : FileName(std::move(fileName)) {}

namespace {

// The one reading behind both operations; `badNumber` receives the text of
// a number field that is no whole number.
TRutFile::HeaderRead ReadFields(TRutFile& rut, std::string& badNumber) {
  // The whole header is read before any field is set, so that a file that
  // fails to read leaves the object as it was.
  std::string header;
  if (ReadFileHead(rut.GetFileName(), kHeaderSize, header) != 0) return TRutFile::HeaderRead::NotRead;
  for (const Field& f : kFields) {
    const std::string_view text = FieldText(header, f);
    if (f.SetText) {
      (rut.*f.SetText)(std::string(text));
      continue;
    }
    int32_t value = 0;
    if (!IsBlankNumber(header, f)) {
      try {
        value = StrToInt(text);
      } catch (const EConvertError&) {
        badNumber.assign(text);
        return f.Offset + f.Length > header.size() ? TRutFile::HeaderRead::CutShort : TRutFile::HeaderRead::NotANumber;
      }
    }
    (rut.*f.SetNumber)(value);
  }
  return TRutFile::HeaderRead::Read;
}

}  // namespace

TRutFile::HeaderRead TRutFile::TryReadHeader() {
  std::string badNumber;
  return ReadFields(*this, badNumber);
}

bool TRutFile::ReadHeader() {
  std::string badNumber;
  switch (ReadFields(*this, badNumber)) {
    case HeaderRead::Read: return true;
    case HeaderRead::NotRead: return false;
    case HeaderRead::CutShort:
    case HeaderRead::NotANumber: break;
  }
  StrToInt(badNumber);  // throws the conversion error of that text
  return false;
}

}  // namespace tavo
