// A search listener for the benchmarks: every failure printed to stderr, so
// that a timing of documents that were not all read does not pass unseen.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "dictool/SearchListener.h"

namespace tavo::bench {

class PrintedFailures : public SearchListener {
 public:
  void FileMissing(const std::string& path) override { std::fprintf(stderr, "missing: %s\n", path.c_str()); }
  void FileUnreadable(const std::string& path, const FileFailure& f) override {
    std::fprintf(stderr, "unreadable: %s (%s)\n", path.c_str(),
                 f.What == FileFailure::kSystem ? std::strerror(f.Error) : "no RUTE header");
  }
  void LineCut(const std::string& path, PageLine at) override {
    std::fprintf(stderr, "line cut: %s, page %d line %d\n", path.c_str(), at.Page, at.Line);
  }
};

}  // namespace tavo::bench
