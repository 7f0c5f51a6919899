// A regular file read in large blocks into the caller's buffer, with I/O
// result codes, never exceptions. For scanners that keep their own buffer and
// look at a file's bytes before they cut it into lines.
//
// Only a regular file is opened: a folder is refused with EISDIR, a fifo, a
// device or a socket with EINVAL, and none of them is ever waited on (the
// open does not block on a fifo without a writer). Reading uses read(2), not
// a mapping, so a file truncated while it is read ends early instead of
// faulting. Every operation returns 0 or an errno value (ENOENT also for a
// path with no OS form, EBADF when no file is open). One reader belongs to
// one thread at a time.
#pragma once

#include <cstddef>
#include <string_view>

namespace tavo {

class BlockReader {
 public:
  BlockReader() = default;
  ~BlockReader();  // closes the file, ignoring any error
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Opens `path` (OpenRegularFile in Files.h); a file open already is closed first.
  int Open(std::string_view path);
  bool IsOpen() const { return fd_ >= 0; }

  // Reads up to `size` bytes into `buffer` and sets `got` to the count; 0 at
  // the end of the file. Interrupted reads are retried.
  int Read(char* buffer, std::size_t size, std::size_t& got);

  int Close();

 private:
  int fd_ = -1;
};

}  // namespace tavo
