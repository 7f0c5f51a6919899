// The fixed 512-byte header of a RUTE braille document (".RUT").
//
// A TRutFile names one document and, after ReadHeader, holds the header's
// ten text fields (CP932 bytes, each ending at its first NUL or at the end of
// its slot) and its three decimal number fields; the searches need only
// LinesPerPage, to number hits by page and line. The object owns plain values
// only: no file stays open between calls, and it may be copied freely. Not
// synchronised: use one object from one thread at a time.
//
// Header layout (absolute byte offsets, lengths):
//   10/50 HeaderText1   60/50 HeaderText2   110/50 HeaderText3  160/50 HeaderText4
//   210/20 HeaderText5  230/36 HeaderText6  266/36 HeaderText7  302/36 HeaderText8
//   338/20 HeaderText9  358/100 HeaderText10
//   504/4 HeaderNumber1  508/2 HeaderNumber2  510/2 LinesPerPage
// Bytes 0-9 and 458-503 are not read. A number field that the file holds
// whole but that is blank (nothing but blanks and NULs) reads as 0, as for a
// new object: editors leave fields they do not use blank, and a blank lines
// per page numbers lines one a page (PageLine.h).
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tavo {

class TRutFile {
 public:
  // `fileName` is a CP932 path; nothing is read yet.
  explicit TRutFile(std::string fileName);

  // How a reading of the header went.
  enum class HeaderRead {
    Read,        // every field was read
    NotRead,     // missing, no regular file, or it cannot be opened or read: no field changed
    CutShort,    // the file ends inside a number field, which is then no number
    NotANumber,  // a number field the file holds whole is neither blank nor a whole number
  };

  // Reads the header into the fields, in layout order, and says how it went;
  // never throws. A field the file does not reach, or reaches only in part,
  // holds only the bytes that exist (the empty text when none). A number
  // field that is no whole number (StrToInt rules) ends the reading: the
  // fields before it keep their new values, and it keeps its old one.
  // The file is closed before the call returns.
  HeaderRead TryReadHeader();

  // TryReadHeader, true when read and false when not read (no field
  // changed); a number field that is no whole number throws EConvertError
  // ("'<text>' は整数ではありません").
  bool ReadHeader();

  const std::string& GetFileName() const { return FileName; }
  const std::string& GetHeaderText1() const { return HeaderText1; }
  const std::string& GetHeaderText2() const { return HeaderText2; }
  const std::string& GetHeaderText3() const { return HeaderText3; }
  const std::string& GetHeaderText9() const { return HeaderText9; }
  const std::string& GetHeaderText10() const { return HeaderText10; }
  int32_t GetHeaderNumber1() const { return HeaderNumber1; }
  int32_t GetHeaderNumber2() const { return HeaderNumber2; }
  // As stored: 0 for a new object, and the header may hold 0 or less (see
  // PageLine.h for how such a value numbers lines).
  int32_t GetLinesPerPage() const { return LinesPerPage; }

  void SetFileName(std::string v) { FileName = std::move(v); }
  void SetHeaderText1(std::string v) { HeaderText1 = std::move(v); }
  void SetHeaderText2(std::string v) { HeaderText2 = std::move(v); }
  void SetHeaderText3(std::string v) { HeaderText3 = std::move(v); }
  void SetHeaderText4(std::string v) { HeaderText4 = std::move(v); }
  void SetHeaderText5(std::string v) { HeaderText5 = std::move(v); }
  void SetHeaderText6(std::string v) { HeaderText6 = std::move(v); }
  void SetHeaderText7(std::string v) { HeaderText7 = std::move(v); }
  void SetHeaderText8(std::string v) { HeaderText8 = std::move(v); }
  void SetHeaderText9(std::string v) { HeaderText9 = std::move(v); }
  void SetHeaderText10(std::string v) { HeaderText10 = std::move(v); }
  void SetHeaderNumber1(int32_t v) { HeaderNumber1 = v; }
  void SetHeaderNumber2(int32_t v) { HeaderNumber2 = v; }
  void SetLinesPerPage(int32_t v) { LinesPerPage = v; }

 private:
  std::string FileName;
  std::string HeaderText1;
  std::string HeaderText2;
  std::string HeaderText3;
  std::string HeaderText4;
  std::string HeaderText5;
  std::string HeaderText6;
  std::string HeaderText7;
  std::string HeaderText8;
  std::string HeaderText9;
  std::string HeaderText10;
  int32_t HeaderNumber1 = 0;
  int32_t HeaderNumber2 = 0;
  int32_t LinesPerPage = 0;
};

}  // namespace tavo
