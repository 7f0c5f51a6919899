// The one page-fill loop of both searches: it reads hits from a search's hit
// source into a row sink until a page is full, the search ends or a cancel
// is requested.
//
// The loop runs inside the command that asked for the page. The hit source
// calls `pump` (through its poll) once per line it reads, so the window's
// cancel button and Esc stay live; a cancel that arrives then only sets
// CancelRequest, and the loop stops before the next line (the caller then
// cancels the search). PageFilling keeps a command pumped from inside the
// loop from starting a second fill. UI thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "dictool/DicScanner.h"
#include "dictool/HitLine.h"
#include "dictool/RowSink.h"
#include "dictool/SearchSession.h"

namespace tavo {

// A hit: the row text as shown, and the record of a source whose rows carry
// one.
struct HitRow {
  std::string Text;
  std::optional<THitLine> Record;
};

class HitSource {
 public:
  virtual ~HitSource() = default;
  // Reads on to the next hit (nhHit, with `hit`). nhNextFile after the
  // heading row of a newly opened file went to `sink`; nhEnd at the end of
  // the search; nhCancel when `poll` asked to stop.
  virtual NextHitResult NextHit(const DicScanner::Poll& poll, RowSink& sink, HitRow& hit) = 0;
};

enum class FillEnd {
  Busy,             // a fill was running already: nothing was done
  Paused,           // the page is full; the search stays open
  Ended,            // the search has read its last file
  CancelRequested,  // a cancel arrived; the caller cancels the search
};

// Fills one page of a grid that shows `visibleRows` rows: the page is full
// when the rows added by this fill (hits and heading rows) plus one reach
// it, since the previous page's last row stands at the top. Sets HitFound on
// a hit. An exception from the source leaves PageFilling cleared.
FillEnd FillPage(SearchSession& session, HitSource& source, RowSink& sink, int visibleRows,
                 const std::function<void()>& pump);

}  // namespace tavo
