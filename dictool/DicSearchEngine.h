// The dictionary search's source of hits: the files of the search's list are
// read one after the other (FileListSearch.h); text dictionaries (.DIC, .TXT)
// through the candidate-first scan (DicScanner.h), RUTE documents line by
// line, each braille line converted to kana and numbered by page and line.
//
// The engine works on the window's SearchSession and tells its failures to a
// SearchListener; rows go to the RowSink of each call. UI thread only; no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictool/DicScanner.h"
#include "dictool/FileListSearch.h"
#include "dictool/LineConverter.h"

namespace tavo {

class DicSearchEngine : public FileListSearch {
 public:
  // `session` and `listener` must outlive the engine.
  DicSearchEngine(SearchSession& session, SearchListener& listener, LineConverter convert);

  // Opens the search of `word` (after SpaceToSquare; a leading '/' or '*'
  // selects raw or group mode) over a copy of `files` (FileListSearch's
  // StartFiles).
  void Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink);

  NextHitResult NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) override;

  bool RawMode() const { return query_ && query_->Pattern.RawMode; }
  bool GroupMode() const { return query_ && query_->Pattern.GroupMode; }

 private:
  int BeginFile(const std::string& path) override;
  void AddHeading(RowSink& sink, const std::string& path) override;

  LineConverter convert_;
  std::optional<DicQuery> query_;
  bool inMatchedGroup_ = false;
  std::string converted_;  // the kana of the braille line read
};

// The heading row of a dictionary: "－使用辞書：" + path + "－".
std::string DicHeadingRow(const std::string& path);

}  // namespace tavo
