#include "dictool/DicSearchEngine.h"

#include "dictool/Cp932Texts.h"
#include "dictool/PageLine.h"

namespace tavo {

std::string DicHeadingRow(const std::string& path) {
  return std::string(sj::DicHeadingPrefix) + path + std::string(sj::Dash);
}

DicSearchEngine::DicSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert)
    : FileListSearch(session, listener, /*goesOnPastMissingFiles=*/false), convert_(std::move(convert)) {}

void DicSearchEngine::Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink) {
  query_.emplace(word);
  session_.SearchPattern = query_->Pattern.Pattern;
  StartFiles(files, sink);
}

int DicSearchEngine::BeginFile(const std::string& path) {
  // A group does not run on from one dictionary into the next.
  inMatchedGroup_ = false;
  return IsRutFile(path) ? kRuteDocument : kTextDictionary;
}

void DicSearchEngine::AddHeading(RowSink& sink, const std::string& path) { sink.AddRow(DicHeadingRow(path), nullptr); }

NextHitResult DicSearchEngine::NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) {
  SearchSession& s = session_;
  while (s.FileOpen) {
    std::string_view line;
    const ScanResult r = s.FileKind == kRuteDocument ? ReadBrailleLine(poll, line)
                                                     : s.SearchFile.NextHit(*query_, inMatchedGroup_, poll, line);
    if (r == ScanResult::Cancel) return nhCancel;
    if (r == ScanResult::Error) ReadFailed();
    if (r != ScanResult::Line) break;
    if (s.FileKind == kTextDictionary) {
      hit.Text = RawMode() ? std::string(line) : HideLineCode(line);
      return nhHit;
    }
    converted_.assign(convert_(line.data()));  // the line ends in a NUL where it lies
    if (!IsDicHit(converted_, query_->Pattern, inMatchedGroup_)) continue;
    hit.Text = PageLinePrefix(s.LinePosition()) + converted_;
    return nhHit;
  }
  return NextFile(sink);
}

}  // namespace tavo
