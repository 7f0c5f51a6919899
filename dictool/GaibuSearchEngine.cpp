#include "dictool/GaibuSearchEngine.h"

#include <utility>

#include "dictool/Cp932Texts.h"
#include "dictool/GaibuMatch.h"
#include "dictool/PageLine.h"

namespace tavo {

std::string GaibuHeadingRow(const std::string& path) { return std::string(sj::Dash) + path + std::string(sj::Dash); }

GaibuSearchEngine::GaibuSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert)
    : FileListSearch(session, listener), convert_(std::move(convert)) {}

void GaibuSearchEngine::Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink) {
  session_.SearchPattern = word;
  session_.GaibuMode = 1;
  StartFiles(files, sink);
}

int GaibuSearchEngine::BeginFile(const std::string&) {
  haveA_ = false;
  return kRuteDocument;  // every collected file is read as a document
}

void GaibuSearchEngine::AddHeading(RowSink& sink, const std::string& path) {
  const THitLine none;
  sink.AddRow(GaibuHeadingRow(path), &none);
}

ScanResult GaibuSearchEngine::ReadLine(const DicScanner::Poll& poll, std::string& raw, std::string& kana) {
  std::string_view line;
  const ScanResult r = session_.NextBrailleLine(poll, line);
  if (r == ScanResult::Error) ReadFailed();
  if (r != ScanResult::Line) return r;
  raw.assign(line);
  kana.assign(convert_(raw));
  return r;
}

NextHitResult GaibuSearchEngine::Hit(HitRow& hit, PageLine shown, const std::string& kana) {
  haveA_ = false;
  const PageLine last = session_.LinePosition();
  hit.Text = PageLinePrefix(shown) + kana;
  hit.Record = THitLine{CurrentPath(), last.Page, last.Line};
  return nhHit;
}

NextHitResult GaibuSearchEngine::NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) {
  SearchSession& s = session_;
  const std::string& pattern = s.SearchPattern;
  ScanResult r = ScanResult::Line;
  if (s.FileOpen && !haveA_) {
    r = ReadLine(poll, a_, kA_);
    haveA_ = r == ScanResult::Line;
  }
  while (r == ScanResult::Line) {
    const int lineA = s.LineCount;
    if (MatchSearchWord(kA_, pattern, nullptr)) return Hit(hit, s.LinePosition(lineA), kA_);
    r = ReadLine(poll, b_, kB_);
    if (r != ScanResult::Line) break;
    // Most joins cannot hit (JoinCanHit) and are neither made nor converted.
    const std::string_view head = LineHead(a_);
    if (JoinCanHit(head, pattern) && JoinLines(a_, b_, joined_)) {
      kJoined_.assign(convert_(joined_));
      // A's part of the joined kana: A's kana without the "□" of each blank
      // cell that the join cut off.
      const auto inA = static_cast<std::ptrdiff_t>(kA_.size()) - 2 * static_cast<std::ptrdiff_t>(a_.size() - head.size());
      int position = 0;
      if (MatchSearchWord(kJoined_, pattern, &position) && position - 1 < inA)
        return Hit(hit, s.LinePosition(lineA), kJoined_);
    }
    std::swap(a_, b_);
    std::swap(kA_, kB_);
  }
  if (r == ScanResult::Cancel) return nhCancel;
  haveA_ = false;
  return NextFile(sink);
}

}  // namespace tavo
