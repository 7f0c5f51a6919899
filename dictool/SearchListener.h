// What a search tells its user while it fills a page. The engines never show
// a box themselves; the window does, through this interface.
#pragma once

#include <string>

namespace tavo {

class SearchListener {
 public:
  virtual ~SearchListener() = default;
  // A file of the search's list is not there.
  virtual void FileMissing(const std::string& path) = 0;
  // A file that is there could not be opened or read to its end: `error` is
  // the errno value, or 0 when `detail` (CP932) says what was wrong with it.
  // The search goes on with the next file.
  virtual void FileUnreadable(const std::string& path, int error, const std::string& detail) = 0;
};

}  // namespace tavo
