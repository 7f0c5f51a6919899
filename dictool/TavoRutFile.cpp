#include "dictool/TavoRutFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/system/SysUtils.h"
#include "platform/text/Cp932.h"

namespace tavo {
namespace {

constexpr std::size_t kHeaderSize = 512;

struct Field {
  std::size_t Offset;
  std::size_t Length;
  void (TRutFile::*SetText)(std::string);
  void (TRutFile::*SetNumber)(int32_t);
};

constexpr std::array<Field, 13> kFields = {{
    {10, 50, &TRutFile::SetHeaderText1, nullptr},
    {60, 50, &TRutFile::SetHeaderText2, nullptr},
    {110, 50, &TRutFile::SetHeaderText3, nullptr},
    {160, 50, &TRutFile::SetHeaderText4, nullptr},
    {210, 20, &TRutFile::SetHeaderText5, nullptr},
    {230, 36, &TRutFile::SetHeaderText6, nullptr},
    {266, 36, &TRutFile::SetHeaderText7, nullptr},
    {302, 36, &TRutFile::SetHeaderText8, nullptr},
    {338, 20, &TRutFile::SetHeaderText9, nullptr},
    {358, 100, &TRutFile::SetHeaderText10, nullptr},
    {504, 4, nullptr, &TRutFile::SetHeaderNumber1},
    {508, 2, nullptr, &TRutFile::SetHeaderNumber2},
    {510, 2, nullptr, &TRutFile::SetLinesPerPage},
}};

// Closes the descriptor on every way out, the conversion error included.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// The bytes the file holds of its first kHeaderSize (fewer for a short file),
// or nullopt when it is no readable regular file.
std::optional<std::string> ReadHeaderBytes(const std::string& cp932Path) {
  const auto osPath = Cp932ToUtf8(cp932Path);
  if (!osPath) return std::nullopt;  // no name the OS could know: no such file
  // O_NONBLOCK: a fifo is refused below, never waited on.
  FileDescriptor fd(::open(osPath->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return std::nullopt;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;

  std::string bytes(kHeaderSize, '\0');
  std::size_t got = 0;
  while (got < kHeaderSize) {
    const ssize_t n = ::read(fd.get(), bytes.data() + got, kHeaderSize - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

// The field's bytes that exist, cut at the first NUL.
std::string_view FieldText(std::string_view header, const Field& f) {
  if (f.Offset >= header.size()) return {};
  std::string_view slot = header.substr(f.Offset, f.Length);
  return slot.substr(0, slot.find('\0'));
}

}  // namespace

TRutFile::TRutFile(std::string fileName) : FileName(std::move(fileName)) {}

bool TRutFile::ReadHeader() {
  // The whole header is read before any field is set, so that a file that
  // fails to read leaves the object as it was.
  const auto header = ReadHeaderBytes(FileName);
  if (!header) return false;
  for (const Field& f : kFields) {
    const std::string_view text = FieldText(*header, f);
    if (f.SetText)
      (this->*f.SetText)(std::string(text));
    else
      (this->*f.SetNumber)(StrToInt(text));
  }
  return true;
}

}  // namespace tavo
