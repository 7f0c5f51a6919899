// Text files read line by line with I/O result codes, never exceptions.
//
// Every operation returns 0 on success or an errno value (ENOENT also for a
// path with no OS form, EBADF when the file is not open). A line ends at LF or
// at CR LF; a CR that is not followed by LF is data. A byte 0x1A ends the file:
// nothing from it on is read. Lines may be of any length. The bytes are
// handed over as they are (CP932, not checked).
//
// The reader is the inner loop of the dictionary search, so it reads in large
// blocks and does no allocation and no system call per line. One TextFile
// belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tavo {

class TextFile {
 public:
  static constexpr size_t kBufferSize = 256 * 1024;

  TextFile() = default;
  ~TextFile();  // closes the file, ignoring any error
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Opens `path` for reading: only a regular file, never waiting on a fifo
  // (see OpenRegularFile in Files.h). A file that is open already is
  // closed first.
  int OpenRead(std::string_view path);

  bool IsOpen() const { return fd_ >= 0; }

  // True at the end of the data (the file's end or its 0x1A byte) and when
  // the file is not open; false after a read error, so that a reading loop
  // goes on to the ReadLine that reports it. May read ahead.
  bool Eof();

  // Puts the rest of the current line into `line` (reusing its storage) and
  // steps past its line end. At the end of the file `line` is empty and the
  // result is 0. After a read error every call returns that error.
  int ReadLine(std::string& line);

  // The same without a copy: `line` points into the reader's own storage and
  // stays valid until the next call on this TextFile.
  int ReadLine(std::string_view& line);

  // Closes the file; EBADF when it was not open.
  int Close();

 private:
  int Fill();  // refills the buffer; 0 or errno

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;  // kept across files: a search opens many
  std::string spill_;               // a line that ran across a refill
  size_t pos_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;  // no more data will come from the file
  int error_ = 0;       // the first read error, reported from then on
};

// Appends `text` and CR LF as a new line of the existing file `path`, for
// registering a word in a dictionary. When the file's data does not end with
// LF (and is not empty) a CR LF comes first, so that the word starts a line of
// its own. When the file holds a 0x1A byte, the line goes just before the
// first one, since a reader stops there; the bytes from it on follow the new
// line unchanged (the file is read through once to find it). All new bytes go
// out in one positioned write (a short write is continued) and are flushed to
// the disk before it returns; when writing or flushing fails the file is put
// back as it was. An exclusive lock on the file (LockExclusive) is held from
// finding its end to the flush, so that appends from several processes each
// land whole on a line of their own. Returns 0 or an errno value (ENOENT when
// the file does not exist: it is not created; EISDIR or EINVAL when it is no
// regular file, which is never waited on).
int AppendLine(std::string_view path, std::string_view text);

}  // namespace tavo
