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
  // A line of the batch.
  struct BatchLine {
    std::uint32_t KanaBegin = 0;  // its kana in kana_, followed by a NUL
    std::uint32_t KanaSize = 0;
    std::uint32_t RawBegin = 0;  // its braille in raws_, when a join needs it
    std::uint32_t RawSize = 0;
    int Number = 0;          // LineCount
    bool JoinsNext = false;  // a join with the next line can hit
    bool Joined = false;     // ... and it is to be joined with the line before it
    bool OwnHit = false;     // its kana holds the word (known once searched)
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
  // Finds which of the lines from `from` on hold the word.
  void Search(std::size_t from);
  // The next hit among the searched lines; nhEnd when they are all done.
  NextHitResult Replay(HitRow& hit);
  NextHitResult Hit(HitRow& hit, int shownLine, int lastLine, std::string_view kana);
  std::string_view Raw(const BatchLine& l) const { return std::string_view(raws_).substr(l.RawBegin, l.RawSize); }

  LineConverter convert_;
  std::string word_;
  std::optional<ByteFinder> finder_;
  std::optional<JoinFilter> joins_;
  std::vector<BatchLine> lines_;
  // The kana of the batch's lines, each followed by a NUL: kanaSize_ bytes
  // of kanaRoom_.
  std::unique_ptr<char[]> kana_;
  std::size_t kanaRoom_;
  std::size_t kanaSize_ = 0;
  std::string raws_;
  std::size_t searched_ = 0;  // lines_[0, searched_) are searched
  std::size_t replay_ = 0;    // the next searched line to hand out hits of
  bool joinTried_ = false;    // the join that ends at lines_[replay_] was tried
  bool documentRead_ = false;  // the open document has no more lines
  std::string joined_;
};

// The heading row of a document: "－" + path + "－".
std::string GaibuHeadingRow(const std::string& path);

}  // namespace tavo
