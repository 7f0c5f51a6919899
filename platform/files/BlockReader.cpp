#include "platform/files/BlockReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files/Files.h"

namespace tavo {

BlockReader::~BlockReader() {
  if (fd_ >= 0) ::close(fd_);
}

int BlockReader::Open(std::string_view path) {
  if (IsOpen()) Close();
  int fd;
  const int error = OpenRegularFile(path, O_RDONLY, fd);
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
