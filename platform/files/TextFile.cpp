#include "platform/files/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/Files.h"
#include "platform/text/OsPath.h"

namespace tavo {
namespace {

constexpr char kEndOfFile = 0x1A;

// pread(2) retried on EINTR; -1 with errno on failure.
ssize_t ReadAt(int fd, char* buf, size_t size, off_t offset) {
  for (;;) {
    ssize_t n = ::pread(fd, buf, size, offset);
    if (n >= 0 || errno != EINTR) return n;
  }
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += n;
  }
  return true;
}

}  // namespace

TextFile::~TextFile() {
  if (fd_ >= 0) ::close(fd_);
}

int TextFile::OpenRead(std::string_view path) {
  if (IsOpen()) Close();
  pos_ = end_ = 0;
  atEnd_ = false;
  error_ = 0;
  int fd;
  if (const int error = OpenRegularFile(path, O_RDONLY, fd); error != 0) return error;
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  fd_ = fd;
  return 0;
}

int TextFile::Fill() {
  pos_ = end_ = 0;
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.get(), kBufferSize);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    atEnd_ = true;
    if (n < 0) error_ = errno;
    return error_;
  }
  end_ = static_cast<size_t>(n);
  if (const void* eof = std::memchr(buffer_.get(), kEndOfFile, end_)) {
    end_ = static_cast<size_t>(static_cast<const char*>(eof) - buffer_.get());
    atEnd_ = true;
  }
  return 0;
}

bool TextFile::Eof() {
  if (fd_ < 0) return true;
  // A read error is not the end: the next ReadLine must report it.
  if (error_ != 0) return false;
  while (pos_ == end_) {
    if (atEnd_) return true;
    if (Fill() != 0) return false;
  }
  return false;
}

int TextFile::ReadLine(std::string& line) {
  std::string_view view;
  const int r = ReadLine(view);
  line.assign(view.data(), view.size());
  return r;
}

int TextFile::ReadLine(std::string_view& line) {
  line = {};
  if (fd_ < 0) return EBADF;
  // Most lines lie wholly in the buffer and are handed out where they lie;
  // a line that runs across a refill is gathered in spill_.
  bool spilled = false;
  for (;;) {
    if (pos_ == end_) {
      if (atEnd_ || Fill() != 0) {
        if (spilled) line = spill_;
        return error_;
      }
      continue;
    }
    const char* start = buffer_.get() + pos_;
    size_t avail = end_ - pos_;
    const void* lf = std::memchr(start, '\n', avail);
    if (lf != nullptr && !spilled) {
      size_t len = static_cast<size_t>(static_cast<const char*>(lf) - start);
      pos_ += len + 1;
      if (len > 0 && start[len - 1] == '\r') --len;
      line = std::string_view(start, len);
      return 0;
    }
    if (!spilled) {
      spill_.clear();
      spilled = true;
    }
    if (lf != nullptr) {
      size_t len = static_cast<size_t>(static_cast<const char*>(lf) - start);
      spill_.append(start, len);
      pos_ += len + 1;
      // The CR of a CR LF may have come with the previous block.
      if (!spill_.empty() && spill_.back() == '\r') spill_.pop_back();
      line = spill_;
      return 0;
    }
    spill_.append(start, avail);
    pos_ = end_;
  }
}

int TextFile::Close() {
  if (fd_ < 0) return EBADF;
  int r = ::close(fd_);
  fd_ = -1;
  pos_ = end_ = 0;
  atEnd_ = false;
  error_ = 0;
  return r == 0 ? 0 : errno;
}

int AppendLine(std::string_view path, std::string_view text) {
  int fd;
  if (int error = OpenRegularFile(path, O_RDWR, fd)) return error;
  if (int error = LockExclusive(fd)) {
    ::close(fd);
    return error;
  }

  // Find where the readable data ends: the first 0x1A, else the file's end.
  auto block = std::make_unique_for_overwrite<char[]>(TextFile::kBufferSize);
  off_t at = 0;
  int last = -1;  // the data's last byte, -1 while there is none
  bool marked = false;
  int error = 0;
  for (;;) {
    ssize_t n = ReadAt(fd, block.get(), TextFile::kBufferSize, at);
    if (n < 0) {
      error = errno;
      break;
    }
    if (n == 0) break;
    const void* eof = std::memchr(block.get(), kEndOfFile, static_cast<size_t>(n));
    size_t dataLen = static_cast<size_t>(n);
    if (eof) dataLen = static_cast<size_t>(static_cast<const char*>(eof) - block.get());
    if (dataLen > 0) last = static_cast<unsigned char>(block[dataLen - 1]);
    at += static_cast<off_t>(dataLen);
    if (eof) {
      marked = true;
      break;
    }
  }

  std::string tail;  // the 0x1A and whatever follows it
  for (off_t off = at; marked && error == 0;) {
    ssize_t n = ReadAt(fd, block.get(), TextFile::kBufferSize, off);
    if (n < 0) error = errno;
    if (n <= 0) break;
    tail.append(block.get(), static_cast<size_t>(n));
    off += n;
  }

  if (error == 0) {
    std::string out;
    out.reserve(text.size() + 4 + tail.size());
    if (last != -1 && last != '\n') out += "\r\n";
    out += text;
    out += "\r\n";
    out += tail;
    if (!WriteAllAt(fd, out, at) || (error = SyncDescriptor(fd)) != 0) {
      if (error == 0) error = errno;
      // Put the file back as it was, its tail and then its length, as far
      // as the disk lets us; the first error is the one reported.
      bool restored = WriteAllAt(fd, tail, at) && ::ftruncate(fd, at + static_cast<off_t>(tail.size())) == 0;
      (void)restored;
    }
  }
  if (::close(fd) != 0 && error == 0) error = errno;  // also releases the lock
  return error;
}

}  // namespace tavo
