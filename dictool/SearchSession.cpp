#include "dictool/SearchSession.h"

namespace tavo {

bool SearchSession::OpenFile(const std::string& path, int kind, FileFailure& failure) {
  CloseFile();
  FileKind = kind;
  LineCount = 0;
  headerLineDue_ = kind == kRuteDocument;
  if (const int error = kind == kRuteDocument ? BrailleFile.Open(path) : SearchFile.Open(path); error != 0) {
    failure = {FileFailure::kSystem, error};
    return false;
  }
  if (kind == kRuteDocument) {
    RutFile = std::make_unique<TRutFile>(path);
    // A header that the system does not let us read shows in the reading of
    // the lines; a blank one leaves 0 lines per page.
    const TRutFile::HeaderRead header = RutFile->TryReadHeader();
    if (header == TRutFile::HeaderRead::CutShort || header == TRutFile::HeaderRead::NotANumber) {
      CloseFile();
      failure = {header == TRutFile::HeaderRead::CutShort ? FileFailure::kHeaderCutShort : FileFailure::kHeaderNotNumber, 0};
      return false;
    }
  }
  FileOpen = true;
  return true;
}

void SearchSession::CloseFile() {
  SearchFile.Close();
  BrailleFile.Close();
  FileOpen = false;
  RutFile.reset();
}

void SearchSession::EndSearch() {
  SearchOpen = false;
  GaibuMode = 0;
  CloseFile();
}

PageLine SearchSession::LinePosition(int lineNumber) const {
  return PageAndLine(lineNumber, RutFile ? RutFile->GetLinesPerPage() : 0);
}

}  // namespace tavo
