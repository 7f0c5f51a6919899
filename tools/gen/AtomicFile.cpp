#include "tools/gen/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <system_error>

namespace tavo::gen {
namespace {

std::string Describe(const std::filesystem::path& path, int err) {
  return path.string() + ": " + std::strerror(err);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { Abandon(); }

bool AtomicFile::Open(std::string& error) {
  std::random_device device;
  // "x": never take over a file that happens to carry the name already.
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tmp%08x", static_cast<unsigned>(device()));
    temp_ = target_;
    temp_ += suffix;
    file_ = std::fopen(temp_.c_str(), "wbx");
    if (file_) return true;
    if (errno != EEXIST) break;
  }
  error = Describe(target_, errno);
  temp_.clear();
  return false;
}

bool AtomicFile::Write(std::string_view bytes, std::string& error) {
  if (!file_) {
    error = Describe(target_, EBADF);
    return false;
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    error = Describe(temp_, errno);
    return false;
  }
  return true;
}

bool AtomicFile::Commit(std::string& error) {
  if (!file_) {
    error = Describe(target_, EBADF);
    return false;
  }
  // A full disk may show only when the buffer is flushed or the file closed.
  int err = 0;
  if (std::fflush(file_) != 0) err = errno;
  if (std::fclose(file_) != 0 && err == 0) err = errno;
  file_ = nullptr;
  if (err != 0) {
    error = Describe(temp_, err);
    Abandon();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp_, target_, ec);
  if (ec) {
    error = target_.string() + ": " + ec.message();
    Abandon();
    return false;
  }
  temp_.clear();
  return true;
}

void AtomicFile::Abandon() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temp_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temp_, ignored);
    temp_.clear();
  }
}

}  // namespace tavo::gen
