// The program's settings as a value, and the settings file that keeps them
// between runs.
//
// Load reads the file once. Save writes in one batch (one lock, one atomic
// replace) only the keys whose value this program changed since it read or
// last wrote them, each list counting as one value, and the keys missing
// from the file, so that the file shows every setting. What another program
// or another copy of the program wrote meanwhile, and this copy did not
// change, is never written over from a stale copy. A crash, a kill or a full
// disk during a save leaves the old file or the new one.
//
// Strings are CP932. One owner (the main window, on the UI thread).
#pragma once

#include <string>
#include <vector>

namespace tavo {

struct TSettings {
  std::vector<std::string> SearchDicList;     // searched dictionaries, in search order
  std::vector<std::string> NotSearchDicList;  // registered, not searched
  std::string WriteDic;                       // the dictionary words are registered in
};

class TSettingsFile {
 public:
  // `fileName`: a bare name lies in the settings folder; a name with '/' is a path.
  explicit TSettingsFile(std::string fileName);

  // Where the file lies, for messages.
  std::string Path() const;

  // Reads the file into `settings`. A missing file or key, and a value that
  // would not fit the file (ProfileText.h), leave what `settings` held: the
  // caller's defaults. Returns 0, or the errno value of why a file that
  // exists could not be read; `settings` then keep their defaults, and no
  // save of this run writes over that file.
  int Load(TSettings& settings);

  // Writes what changed and what is missing (see above). A failure throws
  // EIniFileException ("<path> に書き込めません" and the reason); the file is
  // then as it was, and the next save tries again. After a failed Load, a
  // save with changes is refused that way and one without writes nothing.
  void Save(const TSettings& settings);

 private:
  std::string fileName_;
  TSettings stored_;  // the values the file holds for this program, as last read or written
  int loadError_ = 0;
};

}  // namespace tavo
