// What both searches do with their list of files: each file is opened in
// turn after its heading row; one that is there but cannot be opened or read
// to its end (a folder, a fifo, a document that is no RUTE document, a read
// error) is told and passed over. A file that is not there is told too; it
// ends the dictionary search, while the external search passes over it
// (GoesOnPastMissingFiles) and shows no heading row for it.
//
// A search engine derives from it, reads the open file itself (NextHit) and
// calls NextFile when the file is done. It works on the window's
// SearchSession and tells failures to a SearchListener; both must outlive
// it. UI thread only; no Qt.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dictool/PageFill.h"
#include "dictool/SearchListener.h"
#include "dictool/SearchSession.h"

namespace tavo {

class FileListSearch : public HitSource {
 public:
  // Whether the first file of `files` (not empty) is there; when it is not,
  // the listener is told. Changes nothing else.
  bool FirstFileExists(const std::vector<std::string>& files);

  // Every file of the list was read to its end.
  bool EveryFileRead() const { return everyFileRead_; }

 protected:
  FileListSearch(SearchSession& session, SearchListener& listener, bool goesOnPastMissingFiles);

  // Takes a copy of `files` (not empty) as the session's list and opens its
  // first file after the file's heading row (for a search that goes on past
  // missing files, the first one that is there). Closes what an earlier
  // search left open; clears Cancelled, CancelRequest and HitFound. The
  // search is open afterwards even when no file could be opened: the first
  // fill then moves on, or ends.
  void StartFiles(const std::vector<std::string>& files, RowSink& sink);

  // The open file is done (read, failed, or never opened): on to the next.
  NextHitResult NextFile(RowSink& sink);

  // The next braille line of the open RUTE document (SearchSession's
  // NextBrailleLine); the first cut line of the document is told.
  ScanResult ReadBrailleLine(const DicScanner::Poll& poll, std::string_view& line) {
    const ScanResult r = session_.NextBrailleLine(poll, line);
    if (r == ScanResult::Line && session_.BrailleFile.LineWasCut() && !cutTold_) [[unlikely]] TellLineCut();
    return r;
  }

  // The open file could not be read on: told; NextFile closes it.
  void ReadFailed();

  const std::string& CurrentPath() const { return session_.FileList[static_cast<size_t>(session_.FileIndex)]; }

  SearchSession& session_;

 private:
  // Resets what the engine keeps for one file and says how the file is read
  // (kTextDictionary or kRuteDocument).
  virtual int BeginFile(const std::string& path) = 0;
  // Writes the heading row of a file to `sink`.
  virtual void AddHeading(RowSink& sink, const std::string& path) = 0;

  // Opens the file at FileIndex, or the first one after it that is there;
  // false when a missing file ends the search or the list has ended.
  bool OpenFrom(RowSink& sink);
  void Failed(const FileFailure& failure);
  void TellLineCut();

  SearchListener& listener_;
  const bool goesOnPastMissing_;
  bool everyFileRead_ = true;
  bool cutTold_ = false;  // a cut line of the open file was told
};

}  // namespace tavo
