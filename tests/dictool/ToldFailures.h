// A search listener for tests of the search engines: every failure told, as
// "missing <path>", "unreadable <path> <errno value | cut-short |
// not-a-number>" or "cut <path> <page>:<line>".
#pragma once

#include <string>
#include <vector>

#include "dictool/SearchListener.h"

namespace tavo::test {

class ToldFailures : public SearchListener {
 public:
  void FileMissing(const std::string& path) override { told.push_back("missing " + path); }
  void FileUnreadable(const std::string& path, const FileFailure& f) override {
    told.push_back("unreadable " + path + " " +
                   (f.What == FileFailure::kSystem            ? std::to_string(f.Error)
                    : f.What == FileFailure::kHeaderCutShort ? std::string("cut-short")
                                                             : std::string("not-a-number")));
  }
  void LineCut(const std::string& path, PageLine at) override {
    told.push_back("cut " + path + " " + std::to_string(at.Page) + ":" + std::to_string(at.Line));
  }
  std::vector<std::string> told;
};

}  // namespace tavo::test
