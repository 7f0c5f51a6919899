// A search listener for tests of the search engines: every failure told, as
// "missing <path>" or "unreadable <path> <errno value or detail>".
#pragma once

#include <string>
#include <vector>

#include "dictool/SearchListener.h"

namespace tavo::test {

class ToldFailures : public SearchListener {
 public:
  void FileMissing(const std::string& path) override { told.push_back("missing " + path); }
  void FileUnreadable(const std::string& path, int error, const std::string& detail) override {
    told.push_back("unreadable " + path + " " + (error != 0 ? std::to_string(error) : detail));
  }
  std::vector<std::string> told;
};

}  // namespace tavo::test
