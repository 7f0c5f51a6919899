#include "dictool/SearchProblems.h"

namespace tavo {

void SearchProblems::Begin(const DocumentList& documents) {
  documents_.clear();
  folders_ = documents.UnlistedFolders;
  unnamed_ = documents.Unnamed;
}

void SearchProblems::FileMissing(const std::string& path) { documents_.push_back({SearchProblem::kMissing, path, {}, {}}); }

void SearchProblems::FileUnreadable(const std::string& path, const FileFailure& failure) {
  documents_.push_back({SearchProblem::kUnreadable, path, failure, {}});
}

void SearchProblems::LineCut(const std::string& path, PageLine at) {
  documents_.push_back({SearchProblem::kLineCut, path, {}, at});
}

}  // namespace tavo
