// What both searches do with their list of files: each file is opened in
// turn after its heading row; a file that is not there ends the search; one
// that is there but cannot be opened or read to its end (a folder, a fifo,
// a damaged RUTE header, a read error) is told and passed over.
//
// A search engine derives from it, reads the open file itself (NextHit) and
// calls NextFile when the file is done. It works on the window's
// SearchSession and tells failures to a SearchListener; both must outlive
// it. UI thread only; no Qt.
#pragma once

#include <string>
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
  FileListSearch(SearchSession& session, SearchListener& listener);

  // Takes a copy of `files` (not empty) as the session's list and opens its
  // first file after the file's heading row. Clears Cancelled,
  // CancelRequest and HitFound. The search is open afterwards even when the
  // file could not be opened: the first fill then moves on.
  void StartFiles(const std::vector<std::string>& files, RowSink& sink);

  // The open file is done (read, failed, or never opened): on to the next.
  NextHitResult NextFile(RowSink& sink);

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

  void Open(const std::string& path);
  void Failed(const FileFailure& failure);

  SearchListener& listener_;
  bool everyFileRead_ = true;
};

}  // namespace tavo
