// The state of the one open search, which the dictionary search and the
// external search share: the flags that the window's commands read, the open
// file with its header reader, and the search's own copy of its file list.
//
// The window owns one session for the whole run; a search engine works on it
// while a page is filled. The file and the header reader belong to the open
// search: they are released when it ends and whenever a file fails. UI
// thread only; no Qt.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dictool/BrailleLines.h"
#include "dictool/DicScanner.h"
#include "dictool/PageLine.h"
#include "dictool/SearchListener.h"
#include "dictool/TavoRutFile.h"

namespace tavo {

// Kinds of the open file (FileKind).
enum : int { kTextDictionary = 1, kRuteDocument = 2 };

struct SearchSession {
  explicit SearchSession(ScanLimits limits = {}) : SearchFile(limits), BrailleFile(limits) {}

  bool SearchOpen = false;     // a search is open (filling or paused)
  int GaibuMode = 0;           // 1 while the open search is the external search
  int FileKind = 0;            // of the open file: kTextDictionary or kRuteDocument
  bool FileOpen = false;       // SearchFile is open
  int LineCount = 0;           // braille lines read of the open RUTE document
  bool Cancelled = false;      // the last search was cancelled
  bool ReachedEnd = false;     // the last dictionary search read to its end
  bool CancelRequest = false;  // a cancel arrived during a page fill
  bool HitFound = false;       // the open search has shown a hit
  bool PageFilling = false;    // a page is being filled
  std::string SearchPattern;   // what the lines are searched for

  // The open file: a text dictionary's candidate-first scan, or a RUTE
  // document's lines.
  DicScanner SearchFile;
  BrailleLines BrailleFile;
  std::unique_ptr<TRutFile> RutFile;  // header of the open RUTE document
  // The files of the open search, copied at its start so that editing the
  // program's lists while it is paused does not change it, and the index of
  // the file being read.
  std::vector<std::string> FileList;
  int FileIndex = 0;

  // Opens `path` as a file of `kind`; for a RUTE document its header is read
  // first (its lines per page number the hits). LineCount starts again. False
  // when the file could not be opened or its header is no RUTE header, with
  // why in `failure`; nothing is open then, and no header reader is kept.
  bool OpenFile(const std::string& path, int kind, FileFailure& failure);
  // Closes the open file and frees its header reader.
  void CloseFile();
  // Ends the open search's reading: not open, not external, file closed.
  void EndSearch();

  // The errno value that stopped the reading of the open file.
  int ReadError() const { return FileKind == kRuteDocument ? BrailleFile.ReadError() : SearchFile.ReadError(); }

  // The next braille line of the open RUTE document, counted in LineCount;
  // the document's first text line (the header's) is passed over. The line
  // is followed by a NUL (BrailleLines.h).
  ScanResult NextBrailleLine(const DicScanner::Poll& poll, std::string_view& line) {
    ScanResult r = BrailleFile.Next(poll, line);
    if (headerLineDue_ && r == ScanResult::Line) [[unlikely]] {
      headerLineDue_ = false;
      r = BrailleFile.Next(poll, line);
    }
    if (r == ScanResult::Line) ++LineCount;
    return r;
  }
  // The braille lines that follow, as NextBrailleLine reads them, handed to
  // `take` while the reader has them at hand (BrailleLines::TakeLines) and
  // counted in LineCount when the run ends; none before the header's line
  // is passed over.
  template <class Take>
  std::size_t TakeBrailleLines(const DicScanner::Poll& poll, bool& stopped, Take&& take) {
    if (headerLineDue_) return 0;
    const std::size_t taken = BrailleFile.TakeLines(poll, stopped, take);
    LineCount += static_cast<int>(taken);
    return taken;
  }
  // Page and line of braille line `lineNumber` (LineCount: the last line
  // read), by the header's lines per page.
  PageLine LinePosition(int lineNumber) const;
  PageLine LinePosition() const { return LinePosition(LineCount); }

 private:
  bool headerLineDue_ = false;
};

}  // namespace tavo
