// What a search tells its user while it fills a page. The engines never show
// a box themselves; the window does, through this interface.
#pragma once

#include <string>

#include "dictool/PageLine.h"

namespace tavo {

// Why a file of the search could not be opened or read on.
struct FileFailure {
  enum Kind {
    kSystem,           // the system refused it: `Error` holds the errno value
    kHeaderCutShort,   // a RUTE document that ends inside its 512-byte header (an empty file too)
    kHeaderNotNumber,  // a RUTE header whose number fields hold no numbers: no RUTE document
  };
  Kind What = kSystem;
  int Error = 0;
};

class SearchListener {
 public:
  virtual ~SearchListener() = default;
  // A file of the search's list is not there.
  virtual void FileMissing(const std::string& path) = 0;
  // A file that is there could not be opened or read to its end. The search
  // goes on with the next file.
  virtual void FileUnreadable(const std::string& path, const FileFailure& failure) = 0;
  // A line of a RUTE document was longer than the search reads of a line
  // (ScanLimits::LineCut), told for the first such line of each document:
  // the rest of the line was not searched.
  virtual void LineCut(const std::string& path, PageLine at) = 0;
};

}  // namespace tavo
