// What an external search could not search, gathered while it runs so that
// the user is told once, when it ends, rather than in one box per document:
// documents that were not there or could not be read, the first cut line of
// a document, and what the collecting of the documents left out (folders
// that could not be listed, documents whose names have no CP932 form).
//
// Plain data in the order things happened; the window puts it into words.
// Window-free; one thread.
#pragma once

#include <string>
#include <vector>

#include "dictool/GaibuFiles.h"
#include "dictool/SearchListener.h"

namespace tavo {

struct SearchProblem {
  enum Kind { kMissing, kUnreadable, kLineCut };
  Kind What = kMissing;
  std::string Path;     // CP932
  FileFailure Failure;  // kUnreadable
  PageLine At{0, 0};    // kLineCut
};

class SearchProblems : public SearchListener {
 public:
  // Forgets everything, and keeps what collecting `documents` left out.
  void Begin(const DocumentList& documents);

  void FileMissing(const std::string& path) override;
  void FileUnreadable(const std::string& path, const FileFailure& failure) override;
  void LineCut(const std::string& path, PageLine at) override;

  const std::vector<SearchProblem>& Documents() const { return documents_; }
  const std::vector<UnlistedFolder>& UnlistedFolders() const { return folders_; }
  int Unnamed() const { return unnamed_; }
  // Documents and folders named, and documents counted.
  int Count() const { return static_cast<int>(documents_.size() + folders_.size()) + unnamed_; }

 private:
  std::vector<SearchProblem> documents_;
  std::vector<UnlistedFolder> folders_;
  int unnamed_ = 0;
};

}  // namespace tavo
