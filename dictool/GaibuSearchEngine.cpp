#include "dictool/GaibuSearchEngine.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "dictool/Cp932Texts.h"
#include "dictool/PageLine.h"

namespace tavo {
namespace {

// A batch ends after this much kana or these many lines: big enough that
// searching it costs little per line, small enough to stay in the cache.
constexpr std::size_t kBatchKana = 16 * 1024;
constexpr std::size_t kBatchLines = 1024;
// Room for the kana of a batch and of the line that ends it (two bytes a
// cell and its NUL, for the longest line read); more is made when needed.
constexpr std::size_t kKanaRoom = kBatchKana + 2 * ScanLimits{}.LineCut + 1;

}  // namespace

std::string GaibuHeadingRow(const std::string& path) { return std::string(sj::Dash) + path + std::string(sj::Dash); }

GaibuSearchEngine::GaibuSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert)
    : FileListSearch(session, listener, /*goesOnPastMissingFiles=*/true),
      convert_(std::move(convert)),
      kana_(std::make_unique_for_overwrite<char[]>(kKanaRoom)),
      kanaRoom_(kKanaRoom) {
  lines_.reserve(kBatchLines + 1);
}

void GaibuSearchEngine::Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink) {
  session_.SearchPattern = word;
  session_.GaibuMode = 1;
  word_ = word;
  finder_.emplace(word);
  joins_.emplace(word);
  // Numbers are noted while the line ends are found (JoinFilter).
  session_.BrailleFile.SetLineMarks(kNumberSign, kDigitSeparator);
  // Nothing of an earlier search is looked at again, even when no document
  // of this one can be opened.
  ClearBatch();
  StartFiles(files, sink);
}

int GaibuSearchEngine::BeginFile(const std::string&) {
  ClearBatch();
  return kRuteDocument;  // every collected file is read as a document
}

void GaibuSearchEngine::AddHeading(RowSink& sink, const std::string& path) {
  const THitLine none;
  sink.AddRow(GaibuHeadingRow(path), &none);
}

void GaibuSearchEngine::ClearBatch() {
  lines_.clear();
  kanaSize_ = 0;
  raws_.clear();
  searched_ = replay_ = 0;
  joinTried_ = documentRead_ = false;
}

void GaibuSearchEngine::NextBatch() {
  if (lines_.empty()) return;
  BatchLine last = lines_.back();
  // Its kana has been searched: only its length counts from now on.
  kanaSize_ = 0;
  last.KanaBegin = 0;
  raws_.erase(0, last.RawBegin);
  raws_.resize(last.RawSize);
  last.RawBegin = 0;
  lines_.assign(1, last);
  searched_ = replay_ = 1;
  joinTried_ = false;
}

void GaibuSearchEngine::GrowKana(std::size_t more) {
  kanaRoom_ = std::max(2 * kanaRoom_, kanaSize_ + more);
  auto grown = std::make_unique_for_overwrite<char[]>(kanaRoom_);
  std::memcpy(grown.get(), kana_.get(), kanaSize_);
  kana_ = std::move(grown);
}

bool GaibuSearchEngine::Gather(const DicScanner::Poll& poll) {
  SearchSession& s = session_;
  while (!documentRead_ && kanaSize_ < kBatchKana && lines_.size() <= kBatchLines) {
    std::string_view line;
    const ScanResult r = ReadBrailleLine(poll, line);
    if (r == ScanResult::Cancel) return false;
    if (r != ScanResult::Line) {
      if (r == ScanResult::Error) ReadFailed();
      documentRead_ = true;
      break;
    }
    const std::string_view kana = convert_(line.data());  // the line ends in a NUL where it lies
    if (kanaSize_ + kana.size() + 1 > kanaRoom_) [[unlikely]] GrowKana(kana.size() + 1);
    BatchLine& l = lines_.emplace_back();
    l.Number = s.LineCount;
    l.JoinsNext = joins_->CanHit(line, kana, s.BrailleFile.LineHoldsMarks());
    l.Joined = lines_.size() > 1 && lines_[lines_.size() - 2].JoinsNext && !line.starts_with(' ');
    // Its braille is kept only for a join that may hit: with the line before
    // it, or with the line after it.
    if (l.Joined || l.JoinsNext) [[unlikely]] {
      l.RawBegin = static_cast<std::uint32_t>(raws_.size());
      l.RawSize = static_cast<std::uint32_t>(line.size());
      raws_.append(line);
    }
    l.KanaBegin = static_cast<std::uint32_t>(kanaSize_);
    l.KanaSize = static_cast<std::uint32_t>(kana.size());
    char* const to = kana_.get() + kanaSize_;
    if (!kana.empty()) std::memcpy(to, kana.data(), kana.size());
    to[kana.size()] = '\0';  // no word holds it: no occurrence runs from one line into the next
    kanaSize_ += kana.size() + 1;
  }
  return true;
}

void GaibuSearchEngine::Search(std::size_t from) {
  if (from >= lines_.size()) return;
  const std::string_view kana(kana_.get(), kanaSize_);
  std::size_t at = lines_[from].KanaBegin;
  auto line = lines_.begin() + static_cast<std::ptrdiff_t>(from);
  for (;;) {
    const std::size_t found = finder_->Find(kana.data() + at, kana.size() - at);
    if (found == ByteFinder::npos) return;
    // The line whose kana (or the NUL after it) holds the bytes found; it
    // alone decides whether it holds the word on a character boundary.
    line = std::upper_bound(line, lines_.end(), at + found,
                            [](std::size_t pos, const BatchLine& l) { return pos < l.KanaBegin + l.KanaSize + 1; });
    if (line == lines_.end()) return;
    line->OwnHit = MatchSearchWord(kana.substr(line->KanaBegin, line->KanaSize), word_, nullptr);
    at = line->KanaBegin + line->KanaSize + 1;
    if (++line == lines_.end()) return;
  }
}

NextHitResult GaibuSearchEngine::Hit(HitRow& hit, int shownLine, int lastLine, std::string_view kana) {
  const PageLine last = session_.LinePosition(lastLine);
  hit.Text = PageLinePrefix(session_.LinePosition(shownLine));
  hit.Text += kana;
  hit.Record = THitLine{CurrentPath(), last.Page, last.Line};
  return nhHit;
}

NextHitResult GaibuSearchEngine::Replay(HitRow& hit) {
  for (; replay_ < searched_; ++replay_, joinTried_ = false) {
    const BatchLine& l = lines_[replay_];
    if (!l.Joined && !l.OwnHit) [[likely]] continue;
    if (l.Joined && !joinTried_) {
      joinTried_ = true;
      const BatchLine& k = lines_[replay_ - 1];
      if (!k.OwnHit && JoinLines(Raw(k), Raw(l), joined_)) {
        const std::string_view joinedKana = convert_(joined_.c_str());
        // K's part of the joined kana: K's kana without the "□" of each
        // blank cell that the join cut off.
        const auto cutBlanks = static_cast<std::ptrdiff_t>(Raw(k).size() - LineHead(Raw(k)).size());
        const std::ptrdiff_t inFirst = static_cast<std::ptrdiff_t>(k.KanaSize) - 2 * cutBlanks;
        int position = 0;
        if (MatchSearchWord(joinedKana, word_, &position) && position - 1 < inFirst)
          return Hit(hit, k.Number, l.Number, joinedKana);
      }
    }
    if (l.OwnHit) {
      ++replay_;
      joinTried_ = false;
      return Hit(hit, l.Number, l.Number, std::string_view(kana_.get() + l.KanaBegin, l.KanaSize));
    }
  }
  return nhEnd;
}

NextHitResult GaibuSearchEngine::NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) {
  if (!finder_) return nhEnd;  // never started
  for (;;) {
    if (Replay(hit) == nhHit) return nhHit;
    if (searched_ == lines_.size()) {
      // Every line gathered is done.
      if (documentRead_ || !session_.FileOpen) {
        ClearBatch();
        return NextFile(sink);
      }
      NextBatch();
    }
    if (!Gather(poll)) return nhCancel;  // what was gathered stays for the next call
    Search(searched_);
    searched_ = lines_.size();
  }
}

}  // namespace tavo
