// The external search's source of hits: the RUTE documents of a folder
// (GaibuFiles.h) read one after the other (FileListSearch.h), each braille
// line converted to kana and matched on a character boundary; a word that
// runs across a line end is found by joining the line with the next.
//
// The lines of a document are read in turn; a line L:
//  - when the line before it, K, had no hit of its own and L does not begin
//    with a blank cell, K and L are joined (JoinLines) and the joined kana
//    is a hit when the word begins in K's part of it. Its row is numbered by
//    K's page and line, its record by L's (the last line read). L is then
//    matched on its own, and may be joined with the line after it, so that
//    a word across each of two line ends in a row is found;
//  - L's kana alone is a hit when it holds the word, numbered by L's page
//    and line; a line with a hit of its own is joined with nothing.
// A document that cannot be read on, or that is not there, is told and
// passed over; its rows so far stand. Rows carry THitLine records: heading
// rows an empty one.
//
// A line is converted only when it can hold the word, or its join with the
// next line can (WordCellFilter, where the converter tells its cells); the
// others are gathered as empty kana, which no word matches.
//
// Lines are read, converted and gathered in batches (some tens of KiB of
// kana), which are searched for the word's bytes in one pass; only the lines
// where they occur are matched one by one, and only the joins that can hold
// a hit (JoinFilter) are made and converted. The cancel poll is asked once
// per line read, as before; a batch read so far stays across a cancel.
//
// The engine works on the window's SearchSession and tells its failures to a
// SearchListener; rows go to the RowSink of each call. UI thread only; no Qt.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictool/ByteFinder.h"
#include "dictool/FileListSearch.h"
#include "dictool/GaibuMatch.h"
#include "dictool/LineConverter.h"
#include "dictool/WordCellFilter.h"

namespace tavo {

class GaibuSearchEngine : public FileListSearch {
 public:
  // `session` and `listener` must outlive the engine.
  GaibuSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert);

  // Opens the search of `word` (after SpaceToSquare; '/' and '*' are
  // searched as they stand) over a copy of `files` (FileListSearch's
  // StartFiles); the search is external (GaibuMode 1) from now on.
  void Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink);

  NextHitResult NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) override;

 private:
  // A line of the batch that a join needs: the first line of a join that
  // can hit, or the second.
  struct JoinLine {
    std::uint32_t Index = 0;     // in the batch
    std::uint32_t RawBegin = 0;  // its braille in raws_
    std::uint32_t RawSize = 0;
    std::uint32_t KanaSize = 0;
    bool JoinsNext = false;  // a join with the next line can hit
    bool Joined = false;     // ... and it is to be joined with the line before it (the JoinLine before it)
  };

  // How often the line filter let lines through lately: of each kSample
  // lines tested, when more than three quarters passed, the next kRest
  // lines are converted untested.
  struct FilterUse {
    static constexpr std::uint32_t kSample = 1024;
    static constexpr std::uint32_t kRest = 16 * 1024;
    std::uint32_t Tested = 0;
    std::uint32_t Passed = 0;
    std::uint32_t Resting = 0;
  };

  int BeginFile(const std::string& path) override;
  void AddHeading(RowSink& sink, const std::string& path) override;
  void ClearBatch();
  void GrowKana(std::size_t more);
  // Keeps only the batch's last line, as the line before the next batch.
  void NextBatch();
  // Reads, converts and gathers lines until the batch is full or the
  // document has ended; false when the poll asked to stop.
  bool Gather(const DicScanner::Poll& poll);
  void AddJoinLine(std::size_t index, std::string_view line, std::size_t kanaSize, bool joinsNext, bool joined);
  // Finds which of the lines from `from` on hold the word.
  void Search(std::size_t from);
  // The next hit among the searched lines; nhEnd when they are all done.
  NextHitResult Replay(HitRow& hit);
  NextHitResult Hit(HitRow& hit, std::size_t shownLine, std::size_t lastLine, std::string_view kana);
  std::string_view Raw(const JoinLine& l) const { return std::string_view(raws_).substr(l.RawBegin, l.RawSize); }
  std::string_view Kana(std::size_t line) const {
    return std::string_view(kana_.get() + kanaStart_[line], kanaStart_[line + 1] - kanaStart_[line] - 1);
  }

  LineConverter convert_;
  std::string word_;
  std::optional<ByteFinder> finder_;
  std::optional<JoinFilter> joins_;
  std::optional<WordCellFilter> cells_;
  FilterUse use_;
  // The batch: lines_ lines, the first numbered firstNumber_ (LineCount).
  // Their kana, each followed by a NUL, is kanaSize_ bytes of kanaRoom_;
  // line i's begins at kanaStart_[i] (and kanaStart_[lines_] = kanaSize_).
  // Only the lines that a join needs are noted one by one, and only the
  // lines with a hit of their own (ownHits_, in order), so that a batch
  // without either costs nothing more once searched.
  std::size_t lines_ = 0;
  int firstNumber_ = 0;
  std::unique_ptr<char[]> kana_;
  std::size_t kanaRoom_;
  std::size_t kanaSize_ = 0;
  std::unique_ptr<std::uint32_t[]> kanaStart_;
  std::vector<JoinLine> joinLines_;
  std::string raws_;
  std::vector<std::uint32_t> ownHits_;
  bool lastJoinsNext_ = false;  // a join of the batch's last line with the next line can hit
  std::size_t searched_ = 0;    // lines [0, searched_) are searched
  std::size_t hitAt_ = 0;       // the next own hit to hand out
  std::size_t joinAt_ = 0;      // the next JoinLine to try the join of
  bool joinTried_ = false;      // ... that join was tried
  bool documentRead_ = false;   // the open document has no more lines
  std::string joined_;
};

// The heading row of a document: "－" + path + "－".
std::string GaibuHeadingRow(const std::string& path);

}  // namespace tavo
