// The external search's source of hits: the RUTE documents of a folder
// (GaibuFiles.h) read one after the other (FileListSearch.h), each braille
// line converted to kana and matched on a character boundary; a word that
// runs across a line end is found by joining the line with the next.
//
// One call reads on from a fresh line A:
//  - A's kana holds the word: a hit, numbered by A's page and line;
//  - else the next line B is read; unless B begins with a blank cell, A and
//    B are joined (JoinLines) and the joined kana is a hit when the word
//    begins in A's part of it. Its row is numbered by A's page and line, its
//    record by B's (the last line read); the next call goes on after B;
//  - else B becomes A, and its kana is matched on its own - the last line of
//    a document too.
// Rows carry THitLine records: documents' heading rows an empty one.
//
// The engine works on the window's SearchSession and tells its failures to a
// SearchListener; rows go to the RowSink of each call. UI thread only; no Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictool/FileListSearch.h"
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
  int BeginFile(const std::string& path) override;
  void AddHeading(RowSink& sink, const std::string& path) override;
  // Reads the next braille line into `raw` and its kana into `kana`.
  ScanResult ReadLine(const DicScanner::Poll& poll, std::string& raw, std::string& kana);
  NextHitResult Hit(HitRow& hit, PageLine shown, const std::string& kana);

  LineConverter convert_;
  // Line A, read and converted but not yet matched when a cancel came.
  bool haveA_ = false;
  // Kept from line to line, so that a line costs no allocation.
  std::string a_, kA_, b_, kB_, joined_, kJoined_;
};

// The heading row of a document: "－" + path + "－".
std::string GaibuHeadingRow(const std::string& path);

}  // namespace tavo
