// The searches' failures in words, for the message boxes of the main window.
//
// The dictionary search tells each failure at once, in a box of its own (a
// missing dictionary ends it anyway). The external search tells what it
// could not search once, when it ends (SearchProblems.h): one box names
// every document and folder with what was wrong, one sentence each. UI
// thread only.
#pragma once

#include <QString>

#include "dictool/SearchListener.h"
#include "dictool/SearchProblems.h"

class QWidget;

namespace tavo {

// The dictionary search's listener: a box over `owner` for each failure;
// `noun` names the files of the search ("辞書ファイル ").
class SearchMessageBoxes : public SearchListener {
 public:
  SearchMessageBoxes(QWidget* owner, QString noun) : owner_(owner), noun_(std::move(noun)) {}
  void FileMissing(const std::string& path) override;
  void FileUnreadable(const std::string& path, const FileFailure& failure) override;
  void LineCut(const std::string& path, PageLine at) override;

 private:
  QWidget* owner_;
  QString noun_;
};

// The text of the one box that tells what an external search could not
// search: a first line, then one sentence for each document and folder (at
// most `maxNamed`, then how many more), then the documents left out for
// their names. Empty when there is nothing to tell.
QString SearchProblemsText(const SearchProblems& problems, int maxNamed = 30);

}  // namespace tavo
