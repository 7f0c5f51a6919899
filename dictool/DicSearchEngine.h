// The dictionary search's source of hits: the files of the search's list are
// read one after the other; text dictionaries (.DIC, .TXT) through the
// candidate-first scan (DicScanner.h), RUTE documents line by line, each
// braille line converted to kana and numbered by page and line.
//
// The engine works on the window's SearchSession and tells its failures to a
// SearchListener; rows go to the RowSink of each call. A dictionary that is
// there but cannot be opened or read (or whose header is damaged) is told and
// passed over; a dictionary that is not there ends the search. UI thread
// only; no Qt.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictool/DicScanner.h"
#include "dictool/PageFill.h"
#include "dictool/SearchListener.h"
#include "dictool/SearchSession.h"

namespace tavo {

class DicSearchEngine : public HitSource {
 public:
  // Converts one NABCC braille line to CP932 kana.
  using Converter = std::function<std::string(std::string_view)>;

  // `session` and `listener` must outlive the engine.
  DicSearchEngine(SearchSession& session, SearchListener& listener, Converter convert);

  // Whether the first file of `files` (not empty) is there; when it is not,
  // the listener is told. Changes nothing else.
  bool FirstFileExists(const std::vector<std::string>& files);

  // Opens the search of `word` (after SpaceToSquare; a leading '/' or '*'
  // selects raw or group mode) over a copy of `files`: the heading row of the
  // first file goes to `sink` and the file is opened. Clears Cancelled,
  // CancelRequest and HitFound; the search is open afterwards even when the
  // file could not be opened (the first fill then moves on).
  void Start(const std::vector<std::string>& files, std::string_view word, RowSink& sink);

  NextHitResult NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) override;

  // Every file of the list was read to its end: only then does a search
  // without hits say that the word is in none of them.
  bool EveryFileRead() const { return everyFileRead_; }
  bool RawMode() const { return query_ && query_->Pattern.RawMode; }
  bool GroupMode() const { return query_ && query_->Pattern.GroupMode; }

 private:
  NextHitResult NextFile(RowSink& sink);
  void OpenFile(const std::string& path);
  void Failed(int error, const std::string& detail);

  SearchSession& session_;
  SearchListener& listener_;
  Converter convert_;
  std::optional<DicQuery> query_;
  bool inMatchedGroup_ = false;
  bool skipHeaderLine_ = false;  // a RUTE document's first text line is no braille line
  bool everyFileRead_ = true;
  std::string converted_;
};

// The heading row of a dictionary: "－使用辞書：" + path + "－".
std::string DicHeadingRow(const std::string& path);

}  // namespace tavo
