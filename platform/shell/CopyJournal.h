// The journal of the temporary folders that copies work in, so that none
// outlives a run that was killed part-way. Each temporary folder is
// recorded, before it is made, in a file of its own in the settings
// folder's "copying" folder; the process holds that file locked (flock)
// while the copy runs and removes it after the temporary is gone. A record
// whose lock nobody holds belongs to a process that died: its temporary
// folder and the record are removed by RemoveStrandedCopies, which the
// program runs when it starts.
//
// Without a usable settings folder nothing is recorded (the copy still
// removes its temporary on every failure it sees). OS paths. Any thread.
#pragma once

#include <string>

namespace tavo {

// The name every temporary folder of a copy begins with.
inline constexpr char kCopyTemporaryPrefix[] = ".tavo-copy-";

// The record of one temporary folder, from before it is made until the
// record goes.
class CopyJournalRecord {
 public:
  // Records `osFolder` (a folder named kCopyTemporaryPrefix...) durably.
  explicit CopyJournalRecord(const std::string& osFolder);
  ~CopyJournalRecord();  // forgets it
  // The temporary could not be removed: the record stays (unlocked) for
  // the next start to try again.
  void KeepForNextStart();
  CopyJournalRecord(const CopyJournalRecord&) = delete;
  CopyJournalRecord& operator=(const CopyJournalRecord&) = delete;

 private:
  int fd_ = -1;
  std::string path_;
};

// Removes the temporary folders, and their records, of copies whose
// process is gone. Folders that are not named as temporaries are never
// touched.
void RemoveStrandedCopies();

// The folder of the records (OS path); "" without a settings folder.
std::string CopyJournalFolder();

}  // namespace tavo
