#include "platform/files/PrivateProfile.h"

#include <cerrno>

#include "platform/files/Files.h"
#include "platform/text/Cp932.h"
#include "platform/text/Cp932Lead.h"

namespace tavo {
namespace {

// The first `kProfileValueMax` bytes, never ending in half a character.
std::string CutToValueBuffer(std::string_view value) {
  size_t keep = 0;
  while (keep < value.size()) {
    size_t len = IsLeadByte(static_cast<unsigned char>(value[keep])) && keep + 1 < value.size() ? 2 : 1;
    if (keep + len > kProfileValueMax) break;
    keep += len;
  }
  return std::string(value.substr(0, keep));
}

// The text of the file's bytes in CP932, and how it was read.
ProfileFileText ReadAsCp932(std::string& bytes) {
  switch (DetectTextEncoding(bytes)) {
    case TextEncoding::kCp932:
      return ProfileFileText::kCp932;
    case TextEncoding::kUtf8: {
      constexpr std::string_view kBom = "\xEF\xBB\xBF";  // some editors begin UTF-8 files with it
      auto cp932 = Utf8ToCp932(std::string_view(bytes).substr(bytes.starts_with(kBom) ? kBom.size() : 0));
      bytes = cp932.value_or("");
      return cp932 ? ProfileFileText::kUtf8 : ProfileFileText::kUtf8NotCp932;
    }
    case TextEncoding::kNeither:
      break;
  }
  bytes.clear();
  return ProfileFileText::kNeither;
}

}  // namespace

// "tavodic.ini" lives in the Windows folder; "x/tavodic.ini" is a path.
std::string PrivateProfilePath(std::string_view fileName) {
  if (fileName.find('/') != std::string_view::npos) return std::string(fileName);
  if (fileName.empty()) return "";
  std::string folder = WindowsFolder();
  if (folder.empty()) return "";
  return folder + "/" + std::string(fileName);
}

PrivateProfileBatch::PrivateProfileBatch(std::string_view fileName, Mode mode)
    : path_(PrivateProfilePath(fileName)) {
  if (path_.empty()) {
    error_ = ENOENT;
    return;
  }
  if (mode == kWrite) {
    errno = 0;
    if (fileName.find('/') == std::string_view::npos && !EnsureWindowsFolder()) {
      error_ = errno != 0 ? errno : ENOENT;
      return;
    }
    if ((error_ = lock_.Lock(path_)) != 0) return;
  }
  std::string bytes;
  const int r = ReadWholeFile(path_, bytes);
  if (r != 0 && r != ENOENT) {
    error_ = r;  // never replace a file that could not be read
    return;
  }
  exists_ = r == 0 && !lock_.Created();
  writable_ = mode == kWrite;
  fileText_ = ReadAsCp932(bytes);
  if (fileText_ == ProfileFileText::kUtf8NotCp932 || fileText_ == ProfileFileText::kNeither)
    error_ = EILSEQ;  // its keys are unknown: never written over, but it may be kept aside
  else
    text_ = ProfileText(bytes);
}

PrivateProfileBatch::~PrivateProfileBatch() = default;  // the lock goes with it

int PrivateProfileBatch::KeepAside(std::string& movedTo) {
  movedTo.clear();
  if (!writable_) return EBADF;
  if (error_ != EILSEQ) return error_ != 0 ? error_ : EINVAL;
  if (int error = MoveFileAside(path_, movedTo)) return error;
  error_ = 0;
  exists_ = false;
  fileText_ = ProfileFileText::kCp932;
  text_ = ProfileText();
  return 0;
}

std::string PrivateProfileBatch::ReadString(std::string_view section, std::string_view key,
                                            std::string_view fallback) const {
  auto value = Value(section, key);
  return CutToValueBuffer(value ? *value : fallback);
}

std::optional<std::string_view> PrivateProfileBatch::Value(std::string_view section, std::string_view key) const {
  return text_.Value(section, key);
}

bool PrivateProfileBatch::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  return writable_ && error_ == 0 && text_.Set(section, key, value);
}

int PrivateProfileBatch::Commit() {
  if (error_ != 0) return error_;
  if (!writable_) return EBADF;
  if (!text_.Changed() && fileText_ != ProfileFileText::kUtf8) return 0;
  RemoveStaleTemporaries(path_);  // safe: the lock keeps every other writer out
  return WriteFileAtomic(path_, text_.Bytes());
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view fallback, std::string_view fileName) {
  return PrivateProfileBatch(fileName, PrivateProfileBatch::kRead).ReadString(section, key, fallback);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, std::string_view fileName) {
  if (!ProfileEntryFits(section, key, value)) return false;  // refused before any lock is taken
  PrivateProfileBatch batch(fileName, PrivateProfileBatch::kWrite);
  return batch.Error() == 0 && batch.WriteString(section, key, value) && batch.Commit() == 0;
}

}  // namespace tavo
