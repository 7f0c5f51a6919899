#include "dictool/GaibuSearchEngine.h"

#include <algorithm>
#include <cstdint>
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

// Copies the kana of a line: most are some dozens of bytes, copied in pieces
// of a fixed size that may overlap, without a call.
inline void CopyKana(char* to, const char* from, std::size_t n) {
  if (n >= 32 && n <= 128) {
    std::memcpy(to, from, 32);
    if (n > 64) {
      std::memcpy(to + 32, from + 32, 32);
      std::memcpy(to + n - 64, from + n - 64, 32);
    }
    std::memcpy(to + n - 32, from + n - 32, 32);
  } else if (n >= 8 && n < 32) {
    std::memcpy(to, from, 8);
    if (n > 16) {
      std::memcpy(to + 8, from + 8, 8);
      std::memcpy(to + n - 16, from + n - 16, 8);
    }
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n != 0) {
    std::memcpy(to, from, n);
  }
}

}  // namespace

std::string GaibuHeadingRow(const std::string& path) { return std::string(sj::Dash) + path + std::string(sj::Dash); }

GaibuSearchEngine::GaibuSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert)
    : FileListSearch(session, listener, /*goesOnPastMissingFiles=*/true),
      convert_(std::move(convert)),
      kana_(std::make_unique_for_overwrite<char[]>(kKanaRoom)),
      kanaRoom_(kKanaRoom),
      kanaStart_(std::make_unique<std::uint32_t[]>(kBatchLines + 2)) {}

void GaibuSearchEngine::Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink) {
  session_.SearchPattern = word;
  session_.GaibuMode = 1;
  word_ = word;
  finder_.emplace(word);
  joins_.emplace(word);
  cells_.emplace(word, convert_);
  use_ = {};
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
  lines_ = 0;
  kanaSize_ = 0;
  kanaStart_[0] = 0;
  joinLines_.clear();
  raws_.clear();
  ownHits_.clear();
  searched_ = hitAt_ = joinAt_ = 0;
  joinTried_ = documentRead_ = lastJoinsNext_ = false;
}

void GaibuSearchEngine::NextBatch() {
  if (lines_ == 0) return;
  const std::size_t last = lines_ - 1;
  firstNumber_ += static_cast<int>(last);
  // What a join with the next batch's first line needs of it: whether it had
  // a hit of its own (handed out already), its braille and its kana's size.
  // Its kana has been searched: only its length counts from now on.
  const bool ownHit = !ownHits_.empty() && ownHits_.back() == last;
  ownHits_.clear();
  if (ownHit) ownHits_.push_back(0);
  hitAt_ = ownHits_.size();
  if (!joinLines_.empty() && joinLines_.back().Index == last && joinLines_.back().JoinsNext) {
    JoinLine k = joinLines_.back();
    raws_.erase(0, k.RawBegin);
    raws_.resize(k.RawSize);
    k.Index = k.RawBegin = 0;
    k.Joined = false;  // tried already
    joinLines_.assign(1, k);
  } else {
    joinLines_.clear();
    raws_.clear();
  }
  joinAt_ = 0;
  joinTried_ = false;
  kana_[0] = '\0';
  kanaSize_ = 1;
  kanaStart_[1] = 1;
  lines_ = searched_ = 1;
}

void GaibuSearchEngine::GrowKana(std::size_t more) {
  kanaRoom_ = std::max(2 * kanaRoom_, kanaSize_ + more);
  auto grown = std::make_unique_for_overwrite<char[]>(kanaRoom_);
  std::memcpy(grown.get(), kana_.get(), kanaSize_);
  kana_ = std::move(grown);
}

bool GaibuSearchEngine::Gather(const DicScanner::Poll& poll) {
  SearchSession& s = session_;
  if (lines_ == 0) firstNumber_ = s.LineCount + 1;  // the number of the next line read
  // The batch's size in locals while lines are read: the calls out (the
  // poll, the converter) might change any member, as the compiler sees it,
  // so members would be read again after each.
  std::size_t lines = lines_;
  std::size_t kanaSize = kanaSize_;
  bool lastJoinsNext = lastJoinsNext_;
  FilterUse use = use_;
  const auto keep = [&] {
    lines_ = lines;
    kanaSize_ = kanaSize;
    lastJoinsNext_ = lastJoinsNext;
    use_ = use;
  };
  // Only lines that can hold the word, or whose join with the next line can
  // (WordCellFilter), are converted; the others count as empty kana. The
  // mask of a line worked out as the one after the last is kept for it, for
  // the run of lines only: the reader may move lines between runs. Where
  // nearly every line passes (a word of common cells), testing them costs
  // more than it saves: the filter then rests for a while (FilterUse).
  const WordCellFilter* const cells = cells_ && cells_->Active() ? &*cells_ : nullptr;
  const char* followingAt = nullptr;
  std::uint32_t followingMask = 0;
  const auto add = [&](std::string_view line, bool number, std::string_view following) __attribute__((always_inline)) {
    bool convert = true;
    if (use.Resting != 0) [[unlikely]] {
      --use.Resting;
    } else if (cells != nullptr) {
      const std::uint32_t mask = line.data() == followingAt ? followingMask : cells->Mask(line);
      convert = cells->CanHold(mask);
      if (!convert && (number || joins_->HoldsBlank())) {
        // A join with the next line can hit only as JoinFilter has it.
        if (following.data() == nullptr) {
          convert = true;
        } else {
          followingAt = following.data();
          followingMask = cells->Mask(following);
          convert = cells->CanHold(mask | cells->JoinBlank() | followingMask);
        }
      }
      use.Passed += convert;
      if (++use.Tested == FilterUse::kSample) [[unlikely]] {
        if (use.Passed > FilterUse::kSample - FilterUse::kSample / 4) use.Resting = FilterUse::kRest;
        use.Tested = use.Passed = 0;
      }
    }
    const std::string_view kana = convert ? convert_(line.data()) : std::string_view();  // the line ends in a NUL where it lies
    if (kanaSize + kana.size() + 1 > kanaRoom_) [[unlikely]] {
      kanaSize_ = kanaSize;
      GrowKana(kana.size() + 1);
    }
    char* const to = kana_.get() + kanaSize;
    CopyKana(to, kana.data(), kana.size());
    to[kana.size()] = '\0';  // no word holds it: no occurrence runs from one line into the next
    kanaSize += kana.size() + 1;
    const bool joinsNext = convert && joins_->CanHit(line, kana, number);
    const bool joined = lastJoinsNext && !line.starts_with(' ');
    if (joinsNext || joined) [[unlikely]] AddJoinLine(lines, line, kana.size(), joinsNext, joined);
    lastJoinsNext = joinsNext;
    kanaStart_[++lines] = static_cast<std::uint32_t>(kanaSize);
    return kanaSize < kBatchKana && lines <= kBatchLines;
  };
  while (kanaSize < kBatchKana && lines <= kBatchLines && !documentRead_) {
    // Most lines in a run, the reading in registers; one by one where the
    // reader needs more (a new stretch or block, a cut line, the end).
    bool stopped = false;
    followingAt = nullptr;
    s.TakeBrailleLines(poll, stopped, add);
    if (stopped) [[unlikely]] {
      keep();
      return false;
    }
    if (kanaSize >= kBatchKana || lines > kBatchLines) break;
    std::string_view line;
    const ScanResult r = ReadBrailleLine(poll, line);
    if (r == ScanResult::Cancel) [[unlikely]] {
      keep();
      return false;
    }
    if (r != ScanResult::Line) {
      if (r == ScanResult::Error) ReadFailed();
      documentRead_ = true;
      break;
    }
    add(line, s.BrailleFile.LineHoldsMarks(), std::string_view());
  }
  keep();
  return true;
}

void GaibuSearchEngine::AddJoinLine(std::size_t index, std::string_view line, std::size_t kanaSize, bool joinsNext,
                                    bool joined) {
  // Its braille is kept only for a join that may hit: with the line before
  // it, or with the line after it.
  JoinLine& l = joinLines_.emplace_back();
  l.Index = static_cast<std::uint32_t>(index);
  l.RawBegin = static_cast<std::uint32_t>(raws_.size());
  l.RawSize = static_cast<std::uint32_t>(line.size());
  l.KanaSize = static_cast<std::uint32_t>(kanaSize);
  l.JoinsNext = joinsNext;
  l.Joined = joined;
  raws_.append(line);
}

void GaibuSearchEngine::Search(std::size_t from) {
  if (from >= lines_) return;
  const char* const kana = kana_.get();
  const std::uint32_t* const start = kanaStart_.get();
  std::size_t at = start[from];
  std::size_t line = from;
  for (;;) {
    const std::size_t found = finder_->Find(kana + at, kanaSize_ - at);
    if (found == ByteFinder::npos) return;
    // The line whose kana (or the NUL after it) holds the bytes found; it
    // alone decides whether it holds the word on a character boundary.
    line = static_cast<std::size_t>(std::upper_bound(start + line, start + lines_, at + found) - start) - 1;
    if (MatchSearchWord(Kana(line), word_, nullptr)) ownHits_.push_back(static_cast<std::uint32_t>(line));
    if (++line == lines_) return;
    at = start[line];
  }
}

NextHitResult GaibuSearchEngine::Hit(HitRow& hit, std::size_t shownLine, std::size_t lastLine, std::string_view kana) {
  const PageLine last = session_.LinePosition(firstNumber_ + static_cast<int>(lastLine));
  hit.Text = PageLinePrefix(session_.LinePosition(firstNumber_ + static_cast<int>(shownLine)));
  hit.Text += kana;
  hit.Record = THitLine{CurrentPath(), last.Page, last.Line};
  return nhHit;
}

NextHitResult GaibuSearchEngine::Replay(HitRow& hit) {
  constexpr std::size_t kNone = SIZE_MAX;
  for (;;) {
    // The searched lines in order; the join that ends at a line comes before
    // the line's own hit.
    while (joinAt_ < joinLines_.size() && !joinLines_[joinAt_].Joined) ++joinAt_;
    const std::size_t joined =
        joinAt_ < joinLines_.size() && joinLines_[joinAt_].Index < searched_ ? joinLines_[joinAt_].Index : kNone;
    const std::size_t own = hitAt_ < ownHits_.size() ? ownHits_[hitAt_] : kNone;
    if (joined == kNone && own == kNone) return nhEnd;
    if (own < joined) {
      ++hitAt_;
      return Hit(hit, own, own, Kana(own));
    }
    if (!joinTried_) {
      joinTried_ = true;
      const JoinLine& l = joinLines_[joinAt_];
      const JoinLine& k = joinLines_[joinAt_ - 1];  // the line before, whose join can hit
      // Every own hit before l is handed out: k's is the last of them.
      const bool kHit = hitAt_ > 0 && ownHits_[hitAt_ - 1] == k.Index;
      if (!kHit && JoinLines(Raw(k), Raw(l), joined_)) {
        const std::string_view joinedKana = convert_(joined_.c_str());
        // K's part of the joined kana: K's kana without the "□" of each
        // blank cell that the join cut off.
        const auto cutBlanks = static_cast<std::ptrdiff_t>(Raw(k).size() - LineHead(Raw(k)).size());
        const std::ptrdiff_t inFirst = static_cast<std::ptrdiff_t>(k.KanaSize) - 2 * cutBlanks;
        int position = 0;
        if (MatchSearchWord(joinedKana, word_, &position) && position - 1 < inFirst)
          return Hit(hit, k.Index, l.Index, joinedKana);
      }
    }
    ++joinAt_;
    joinTried_ = false;
    if (own == joined) {
      ++hitAt_;
      return Hit(hit, own, own, Kana(own));
    }
  }
}

NextHitResult GaibuSearchEngine::NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) {
  if (!finder_) return nhEnd;  // never started
  for (;;) {
    if (Replay(hit) == nhHit) return nhHit;
    if (searched_ == lines_) {
      // Every line gathered is done.
      if (documentRead_ || !session_.FileOpen) {
        ClearBatch();
        return NextFile(sink);
      }
      NextBatch();
    }
    if (!Gather(poll)) return nhCancel;  // what was gathered stays for the next call
    Search(searched_);
    searched_ = lines_;
  }
}

}  // namespace tavo
