// The state of the one open search, which the dictionary search and the
// external search share: the flags that the window's commands read, the open
// file with its header reader, and the search's own copy of its file list.
//
// The window owns one session for the whole run; a search engine works on it
// while a page is filled. UI thread only; no Qt.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dictool/DicScanner.h"
#include "dictool/TavoRutFile.h"

namespace tavo {

struct SearchSession {
  explicit SearchSession(ScanLimits limits = {}) : SearchFile(limits) {}

  bool SearchOpen = false;     // a search is open (filling or paused)
  int GaibuMode = 0;           // 1 while the open search is the external search
  int FileKind = 0;            // of the open file: 1 text dictionary, 2 RUTE document
  bool FileOpen = false;       // SearchFile is open
  int LineCount = 0;           // braille lines read of the open RUTE document
  bool Cancelled = false;      // the last search was cancelled
  bool ReachedEnd = false;     // the last dictionary search read to its end
  bool CancelRequest = false;  // a cancel arrived during a page fill
  bool HitFound = false;       // the open search has shown a hit
  bool PageFilling = false;    // a page is being filled
  std::string SearchPattern;   // what the lines are searched for

  DicScanner SearchFile;
  std::unique_ptr<TRutFile> RutFile;  // header of the open RUTE document
  // The files of the open search, copied at its start so that editing the
  // program's lists while it is paused does not change it, and the index of
  // the file being read.
  std::vector<std::string> FileList;
  int FileIndex = 0;

  // Closes the open file and frees its header reader.
  void CloseFile();
  // Ends the open search's reading: not open, not external, file closed.
  void EndSearch();
};

}  // namespace tavo
