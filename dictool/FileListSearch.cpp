#include "dictool/FileListSearch.h"

#include "platform/files/Files.h"

namespace tavo {
namespace {

// A folder or a fifo in the list is there, though it cannot be read: it is
// told as unreadable, not as missing.
bool IsThere(const std::string& path) { return FileExists(path) || DirectoryExists(path); }

}  // namespace

FileListSearch::FileListSearch(SearchSession& session, SearchListener& listener, bool goesOnPastMissingFiles)
    : session_(session), listener_(listener), goesOnPastMissing_(goesOnPastMissingFiles) {}

bool FileListSearch::FirstFileExists(const std::vector<std::string>& files) {
  if (IsThere(files.front())) return true;
  listener_.FileMissing(files.front());
  return false;
}

void FileListSearch::StartFiles(const std::vector<std::string>& files, RowSink& sink) {
  SearchSession& s = session_;
  s.CloseFile();
  s.FileList = files;
  s.FileIndex = 0;
  s.Cancelled = false;
  s.CancelRequest = false;
  s.SearchOpen = false;
  everyFileRead_ = true;
  OpenFrom(sink);
  s.SearchOpen = true;
  s.HitFound = false;
}

bool FileListSearch::OpenFrom(RowSink& sink) {
  SearchSession& s = session_;
  for (; s.FileIndex < static_cast<int>(s.FileList.size()); ++s.FileIndex) {
    const std::string& path = CurrentPath();
    if (!IsThere(path)) {
      everyFileRead_ = false;
      listener_.FileMissing(path);
      if (goesOnPastMissing_) continue;
      s.FileIndex = static_cast<int>(s.FileList.size());  // the search ends here
      return false;
    }
    AddHeading(sink, path);
    cutTold_ = false;
    FileFailure failure;
    if (!s.OpenFile(path, BeginFile(path), failure)) Failed(failure);
    return true;
  }
  return false;
}

void FileListSearch::Failed(const FileFailure& failure) {
  everyFileRead_ = false;
  listener_.FileUnreadable(CurrentPath(), failure);
}

void FileListSearch::ReadFailed() { Failed({FileFailure::kSystem, session_.ReadError()}); }

void FileListSearch::TellLineCut() {
  cutTold_ = true;
  listener_.LineCut(CurrentPath(), session_.LinePosition());
}

NextHitResult FileListSearch::NextFile(RowSink& sink) {
  SearchSession& s = session_;
  s.CloseFile();
  if (s.FileIndex >= static_cast<int>(s.FileList.size())) return nhEnd;
  ++s.FileIndex;
  return OpenFrom(sink) ? nhNextFile : nhEnd;
}

}  // namespace tavo
