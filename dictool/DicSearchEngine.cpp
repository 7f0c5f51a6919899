#include "dictool/DicSearchEngine.h"

#include "dictool/Cp932Texts.h"
#include "dictool/PageLine.h"
#include "platform/files/Files.h"
#include "platform/system/SysUtils.h"

namespace tavo {
namespace {

// A folder or a fifo in the list is there, though it cannot be read: it is
// told as unreadable, not as missing (which would end the search).
bool IsThere(const std::string& path) { return FileExists(path) || DirectoryExists(path); }

}  // namespace

std::string DicHeadingRow(const std::string& path) {
  return std::string(sj::DicHeadingPrefix) + path + std::string(sj::Dash);
}

DicSearchEngine::DicSearchEngine(SearchSession& session, SearchListener& listener, Converter convert)
    : session_(session), listener_(listener), convert_(std::move(convert)) {}

bool DicSearchEngine::FirstFileExists(const std::vector<std::string>& files) {
  if (IsThere(files.front())) return true;
  listener_.FileMissing(files.front());
  return false;
}

void DicSearchEngine::Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink) {
  SearchSession& s = session_;
  s.CloseFile();
  s.FileList = files;
  s.FileIndex = 0;
  s.Cancelled = false;
  s.CancelRequest = false;
  s.SearchOpen = false;
  sink.AddRow(DicHeadingRow(s.FileList[0]), nullptr);
  query_.emplace(word);
  s.SearchPattern = query_->Pattern.Pattern;
  everyFileRead_ = true;
  OpenFile(s.FileList[0]);
  s.SearchOpen = true;
  s.HitFound = false;
}

void DicSearchEngine::OpenFile(const std::string& path) {
  SearchSession& s = session_;
  s.CloseFile();
  s.FileKind = IsRutFile(path) ? 2 : 1;
  s.LineCount = 0;
  // A group does not run on from one dictionary into the next.
  inMatchedGroup_ = false;
  skipHeaderLine_ = s.FileKind == 2;
  if (s.FileKind == 2) {
    s.RutFile = std::make_unique<TRutFile>(path);
    try {
      s.RutFile->ReadHeader();  // a header that cannot be read leaves 0 lines per page
    } catch (const EConvertError& e) {
      s.RutFile.reset();
      Failed(0, e.what());
      return;
    }
  }
  if (const int error = s.SearchFile.Open(path); error != 0) {
    s.RutFile.reset();
    Failed(error, std::string());
    return;
  }
  s.FileOpen = true;
}

void DicSearchEngine::Failed(int error, const std::string& detail) {
  everyFileRead_ = false;
  listener_.FileUnreadable(session_.FileList[static_cast<size_t>(session_.FileIndex)], error, detail);
}

NextHitResult DicSearchEngine::NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) {
  SearchSession& s = session_;
  while (s.FileOpen) {
    std::string_view line;
    const ScanResult r = s.FileKind == 2 ? s.SearchFile.NextLine(poll, line)
                                         : s.SearchFile.NextHit(*query_, inMatchedGroup_, poll, line);
    if (r == ScanResult::Cancel) return nhCancel;
    if (r == ScanResult::Error) Failed(s.SearchFile.ReadError(), std::string());
    if (r != ScanResult::Line) break;
    if (s.FileKind == 1) {
      hit.Text = RawMode() ? std::string(line) : HideLineCode(line);
      return nhHit;
    }
    if (skipHeaderLine_) {
      skipHeaderLine_ = false;
      continue;
    }
    ++s.LineCount;
    converted_ = convert_(line);
    if (!IsDicHit(converted_, query_->Pattern, inMatchedGroup_)) continue;
    const int perPage = s.RutFile ? s.RutFile->GetLinesPerPage() : 0;
    hit.Text = PageLinePrefix(PageAndLine(s.LineCount, perPage)) + converted_;
    return nhHit;
  }
  return NextFile(sink);
}

// The open file is done (read, failed, or never opened): on to the next one.
NextHitResult DicSearchEngine::NextFile(RowSink& sink) {
  SearchSession& s = session_;
  s.CloseFile();
  ++s.FileIndex;
  if (s.FileIndex >= static_cast<int>(s.FileList.size())) return nhEnd;
  const std::string& path = s.FileList[static_cast<size_t>(s.FileIndex)];
  if (!IsThere(path)) {
    everyFileRead_ = false;
    listener_.FileMissing(path);
    return nhEnd;
  }
  sink.AddRow(DicHeadingRow(path), nullptr);
  OpenFile(path);
  return nhNextFile;
}

}  // namespace tavo
