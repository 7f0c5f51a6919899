#include "dictool/SearchSession.h"

#include "platform/system/SysUtils.h"

namespace tavo {

bool SearchSession::OpenFile(const std::string& path, int kind, FileFailure& failure) {
  CloseFile();
  FileKind = kind;
  LineCount = 0;
  headerLineDue_ = kind == kRuteDocument;
  if (kind == kRuteDocument) {
    RutFile = std::make_unique<TRutFile>(path);
    try {
      RutFile->ReadHeader();  // a header that cannot be read leaves 0 lines per page
    } catch (const EConvertError& e) {
      RutFile.reset();
      failure = {0, e.what()};
      return false;
    }
  }
  if (const int error = SearchFile.Open(path); error != 0) {
    RutFile.reset();
    failure = {error, std::string()};
    return false;
  }
  FileOpen = true;
  return true;
}

void SearchSession::CloseFile() {
  SearchFile.Close();
  FileOpen = false;
  RutFile.reset();
}

void SearchSession::EndSearch() {
  SearchOpen = false;
  GaibuMode = 0;
  CloseFile();
}

ScanResult SearchSession::NextBrailleLine(const DicScanner::Poll& poll, std::string_view& line) {
  for (;;) {
    const ScanResult r = SearchFile.NextLine(poll, line);
    if (r != ScanResult::Line) return r;
    if (!headerLineDue_) break;
    headerLineDue_ = false;
  }
  ++LineCount;
  return ScanResult::Line;
}

PageLine SearchSession::LinePosition(int lineNumber) const {
  return PageAndLine(lineNumber, RutFile ? RutFile->GetLinesPerPage() : 0);
}

}  // namespace tavo
