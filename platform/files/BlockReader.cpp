#include "platform/files/BlockReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/OsPath.h"

namespace tavo {

int OpenRegularFile(std::string_view path, int& fd) {
  fd = -1;
  auto os = ToOsPath(path);
  if (!os) return ENOENT;
  // O_NONBLOCK: opening a fifo must not wait for a writer. It changes
  // nothing for a regular file, whose reads never block on it.
  const int f = ::open(os->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (f < 0) return errno;
  struct stat st;
  const int error = ::fstat(f, &st) != 0   ? errno
                    : S_ISDIR(st.st_mode)  ? EISDIR
                    : !S_ISREG(st.st_mode) ? EINVAL
                                           : 0;
  if (error != 0) {
    ::close(f);
    return error;
  }
  fd = f;
  return 0;
}

BlockReader::~BlockReader() {
  if (fd_ >= 0) ::close(fd_);
}

int BlockReader::Open(std::string_view path) {
  if (IsOpen()) Close();
  int fd;
  const int error = OpenRegularFile(path, fd);
  if (error != 0) return error;
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  return 0;
}

int BlockReader::Read(char* buffer, std::size_t size, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return EBADF;
  ssize_t n;
  do {
    n = ::read(fd_, buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return errno;
  got = static_cast<std::size_t>(n);
  return 0;
}

int BlockReader::Close() {
  if (fd_ < 0) return EBADF;
  const int r = ::close(fd_);
  fd_ = -1;
  return r == 0 ? 0 : errno;
}

}  // namespace tavo
