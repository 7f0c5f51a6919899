#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace tavo::test {

TempDir::TempDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/tavo-test-XXXXXX";
  if (::mkdtemp(templ.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp failed for " << templ;
    std::abort();
  }
  path_ = templ;
  ::setenv("TAVO_WINDIR", (path_ + "/windir").c_str(), 1);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
  ::unsetenv("TAVO_WINDIR");
}

}  // namespace tavo::test

namespace tavo::test {

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::string path = *this / name;
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string TempDir::PlantForeignLink(std::string_view name, const std::string& target) const {
  const std::string shared = *this / "shared", link = shared + "/" + std::string(name);
  if ((::mkdir(shared.c_str(), 0700) != 0 && errno != EEXIST) || ::chmod(shared.c_str(), 01777) != 0 ||
      ::symlink(target.c_str(), link.c_str()) != 0) {
    ADD_FAILURE() << "cannot plant " << link;
    return "";
  }
  return ::lchown(link.c_str(), 54321, 54321) == 0 ? link : "";
}

std::string MakeFolderTooDeepToList(const std::string& folder) {
  // Each folder is made relative to its parent's descriptor, since the
  // deepest paths cannot be named whole.
  const std::string name(200, 'd');
  std::string path = folder;
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (fd >= 0 && path.size() < PATH_MAX) {
    path += "/" + name;
    const int child = ::mkdirat(fd, name.c_str(), 0700) == 0 ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    ::close(fd);
    fd = child;
  }
  if (fd < 0) ADD_FAILURE() << "cannot make the deep folders below " << folder;
  else ::close(fd);
  return path;
}

}  // namespace tavo::test
