#include "dictool/FileListSearch.h"

#include "platform/files/Files.h"

namespace tavo {
namespace {

// A folder or a fifo in the list is there, though it cannot be read: it is
// told as unreadable, not as missing (which would end the search).
bool IsThere(const std::string& path) { return FileExists(path) || DirectoryExists(path); }

}  // namespace

FileListSearch::FileListSearch(SearchSession& session, SearchListener& listener)
    : session_(session), listener_(listener) {}

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
  AddHeading(sink, s.FileList[0]);
  Open(s.FileList[0]);
  s.SearchOpen = true;
  s.HitFound = false;
}

void FileListSearch::Open(const std::string& path) {
  FileFailure failure;
  if (!session_.OpenFile(path, BeginFile(path), failure)) Failed(failure);
}

void FileListSearch::Failed(const FileFailure& failure) {
  everyFileRead_ = false;
  listener_.FileUnreadable(CurrentPath(), failure.Error, failure.Detail);
}

void FileListSearch::ReadFailed() { Failed({session_.SearchFile.ReadError(), std::string()}); }

NextHitResult FileListSearch::NextFile(RowSink& sink) {
  SearchSession& s = session_;
  s.CloseFile();
  ++s.FileIndex;
  if (s.FileIndex >= static_cast<int>(s.FileList.size())) return nhEnd;
  const std::string& path = CurrentPath();
  if (!IsThere(path)) {
    everyFileRead_ = false;
    listener_.FileMissing(path);
    return nhEnd;
  }
  AddHeading(sink, path);
  Open(path);
  return nhNextFile;
}

}  // namespace tavo
